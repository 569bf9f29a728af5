#pragma once
// What keltora-cli says of itself: the help (--help, -h, help, /?, and on standard error when
// no command is given) and the version.
#include <string>

namespace keltora {

// The usage, the commands, the options, every category with its page and group, the exit
// statuses: read from the tables the console runs on, so a new row shows by itself.
std::string HelpText();
std::string VersionText();

}  // namespace keltora
