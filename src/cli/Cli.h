#pragma once
// keltora-cli: the console front end over the same TForm1 as the window.
#include <iosfwd>
#include <string>
#include <vector>

#include "app/AppHost.h"
#include "platform/Platform.h"

namespace keltora {

// A host that shows nothing: messages go to the error stream.
class ConsoleHost : public AppHost {
public:
    ConsoleHost(std::ostream& err, std::string executableFolder) : err_(err), folder_(std::move(executableFolder)) {}
    void processMessages() override {}
    void setCursor(Cursor) override {}
    void showMessage(const std::string& text) override;
    // How many messages the user has been shown: each one reports a failure here.
    int messagesShown() const { return shown_; }
    void setTopmost(bool) override {}
    void setTrayIcon(bool) override {}
    std::string executableFolder() override { return folder_; }
    void quit() override {}

private:
    std::ostream& err_;
    std::string folder_;
    int shown_ = 0;
};

// Runs one command line (without the program name); the exit code: 0 done, 1 an error the
// system raised (or an undo that left something), 2 a usage error, 3 findings that were to be
// removed are still listed, 4 no undo journal could be made at all and nothing was changed.
int RunCli(const std::vector<std::string>& args, Platform& platform, ConsoleHost& host, std::ostream& out,
           std::ostream& err);

}  // namespace keltora
