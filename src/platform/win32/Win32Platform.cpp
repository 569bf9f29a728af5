#include "platform/win32/Win32Platform.h"

namespace keltora {

Win32Platform::Win32Platform() : platform_{registry_, files_, shell_, clipboard_, clock_, codePage_, account_, commandLock_} {}

Platform& win32Platform() {
    static Win32Platform instance;
    return instance.platform();
}

}  // namespace keltora
