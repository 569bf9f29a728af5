#pragma once
// The English texts Windows gives for the error codes the program can meet.
#include <string>

namespace keltora {

std::string WindowsMessageText(long code);

}  // namespace keltora
