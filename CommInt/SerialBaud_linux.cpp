// Linux's termios2 carries the rate as a number (BOTHER). Its header clashes with glibc's
// <termios.h>, so it lives in a file of its own.
#include "SerialBaud.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace CommPlatform {

uint32_t CurrentBaudRate(int Descriptor)
{
    termios2 Tio{};
    return ioctl(Descriptor, TCGETS2, &Tio) == 0 ? Tio.c_ospeed : 0;
}

bool SetBaudRate(int Descriptor, uint32_t BaudRate)
{
    termios2 Tio{};
    if (ioctl(Descriptor, TCGETS2, &Tio) != 0)
        return false;
    Tio.c_cflag = (Tio.c_cflag & ~(CBAUD | (CBAUD << IBSHIFT))) | BOTHER | (BOTHER << IBSHIFT);
    Tio.c_ispeed = BaudRate;
    Tio.c_ospeed = BaudRate;
    return ioctl(Descriptor, TCSETS2, &Tio) == 0;
}

} // namespace CommPlatform
