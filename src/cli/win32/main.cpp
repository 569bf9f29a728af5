// keltora-cli.exe: the console front end on the real system.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32Platform.h"

namespace {

std::string executableFolder() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

}  // namespace

int main(int argc, char** argv) {
    // Before anything loads a DLL at run time: from the system folder only.
    keltora::RestrictDllSearchToSystem();
    // Lines end in LF alone, so scripts on either side read them the same way.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // Each text said reaches the console in one write, not a byte at a time (std::cerr still
    // flushes after every output), so a rewritten progress line does not flicker.
    std::setvbuf(stderr, nullptr, _IOFBF, 4096);
    // A listing of many thousand findings is written in large pieces: every write to a pipe or
    // a console is a call into the system, costly under Wine.
    std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    // A console never shows a box: no "There is no disk in the drive" for a removable drive a
    // scan reaches, no crash dialog a script would wait on forever.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
    std::vector<std::string> args(argv + 1, argv + argc);
    keltora::Win32Platform system;
    keltora::ConsoleHost host(std::cerr, executableFolder());
    // A console answers GetConsoleMode; a file or pipe stderr is redirected output.
    DWORD mode = 0;
    host.errorIsConsole = GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
    return keltora::RunCli(args, system.platform(), host, std::cout, std::cerr);
}
