#pragma once
// keltora-cli: the console front end over the same TForm1 as the window.
#include <iosfwd>
#include <string>
#include <vector>

#include "app/AppHost.h"
#include "cli/ConsoleProgress.h"
#include "platform/Platform.h"

namespace keltora {

// A host that shows nothing: every text the window would show in a message box goes to the
// error stream instead.
class ConsoleHost : public AppHost {
public:
    ConsoleHost(std::ostream& err, std::string executableFolder) : err_(err), folder_(std::move(executableFolder)) {}
    void processMessages() override {}
    void setCursor(Cursor) override {}
    void showMessage(const std::string& text) override;
    // How many messages the user has been shown: each one reports a failure here.
    int messagesShown() const { return static_cast<int>(messages_.size()); }
    const std::vector<std::string>& messages() const { return messages_; }
    // A remark on stderr that reports no failure (what a dry run decided).
    void note(const std::string& text);
    // Why findings stayed listed: on stderr and in the JSON document's messages, no failure.
    void showNotice(const std::string& text) override;
    // Every message and notice, in the order they were shown.
    const std::vector<std::string>& said() const { return said_; }
    // A line of progress on stderr while a long command runs; every text said clears it first.
    void setProgress(ConsoleProgress* progress) { progress_ = progress; }
    ConsoleProgress* progress() const { return progress_; }
    // Whether stderr is a console a line can be rewritten on: not redirected to a file or pipe.
    bool errorIsConsole = false;
    // The time progress is measured in (SteadyMs unless a test gives its own).
    ConsoleProgress::Clock progressClock;
    void setTopmost(bool) override {}
    void setTrayIcon(bool) override {}
    std::string executableFolder() override { return folder_; }
    void quit() override {}

private:
    std::ostream& err_;
    std::string folder_;
    std::vector<std::string> messages_;
    std::vector<std::string> said_;
    ConsoleProgress* progress_ = nullptr;
};

// The exit status of a command line, one meaning each.
enum ExitStatus : int {
    kExitDone = 0,
    kExitError = 1,               // an error stopped the command; its text is on stderr
    kExitUsage = 2,               // the command line is not one the console takes
    kExitFindingsLeft = 3,        // done, but checked findings could not be removed and are still listed
    kExitNoBackup = 4,            // a backup or undo journal the command needed could not be made; nothing changed
    kExitNeedsAdministrator = 5,  // the command changes what only an administrator may change
};

// Runs one command line (without the program name) and gives its exit status.
int RunCli(const std::vector<std::string>& args, Platform& platform, ConsoleHost& host, std::ostream& out,
           std::ostream& err);

}  // namespace keltora
