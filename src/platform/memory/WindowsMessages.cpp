#include "platform/memory/WindowsMessages.h"

namespace keltora {
namespace {

struct MessageRow {
    long code;
    const char* text;
};

constexpr MessageRow kMessages[] = {
    {0, "The operation completed successfully."},
    {2, "The system cannot find the file specified."},
    {3, "The system cannot find the path specified."},
    {5, "Access is denied."},
    {6, "The handle is invalid."},
    {32, "The process cannot access the file because it is being used by another process."},
    {80, "The file exists."},
    {87, "The parameter is incorrect."},
    {123, "The filename, directory name, or volume label syntax is incorrect."},
    {145, "The directory is not empty."},
    {161, "The specified path is invalid."},
    {183, "Cannot create a file when that file already exists."},
    {234, "More data is available."},
    {259, "No more data is available."},
    {267, "The directory name is invalid."},
    {1010, "The configuration registry key is invalid."},
    {1013, "The configuration registry key could not be written."},
    {1018, "Illegal operation attempted on a registry key that has been marked for deletion."},
};

}  // namespace

std::string WindowsMessageText(long code) {
    for (const auto& row : kMessages) {
        if (row.code == code) return row.text;
    }
    return "Unknown error " + std::to_string(code) + ".";
}

}  // namespace keltora
