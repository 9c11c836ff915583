#include "serial/ComDevice.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "serial/LineSpeed.h"

namespace qr::serial {

namespace {

// The Bxxx constant of a standard speed, or 0 when there is none.
speed_t standardSpeed(int bps) {
    switch (bps) {
        case 50:
            return B50;
        case 75:
            return B75;
        case 110:
            return B110;
        case 134:
            return B134;
        case 150:
            return B150;
        case 200:
            return B200;
        case 300:
            return B300;
        case 600:
            return B600;
        case 1200:
            return B1200;
        case 1800:
            return B1800;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        case 230400:
            return B230400;
        case 460800:
            return B460800;
        case 921600:
            return B921600;
        default:
            return 0;
    }
}

[[noreturn]] void throwDcbError(int code) {
    throw EComPortError("Error writing dcb (" + std::to_string(code) + "), " + errorText(code));
}

void setModemLine(int fd, int line, bool active) {
    // A pseudo-terminal has no modem lines: that is no error.
    (void)ioctl(fd, active ? TIOCMBIS : TIOCMBIC, &line);
}

}  // namespace

std::string errorText(int code) {
    return std::strerror(code);
}

EComPortError openError(const std::string& path, const std::string& displayName, int code) {
    if (code == ENOENT) return EComPortError("Specified device not found (" + displayName + ").");
    std::string text = errorText(code);
    if (code == EACCES || code == EPERM) {
        std::string owner = "dialout";
        struct stat st {};
        if (!path.empty() && ::stat(path.c_str(), &st) == 0) {
            if (const struct group* g = ::getgrgid(st.st_gid)) owner = g->gr_name;
        }
        text += "; the user must be a member of the group '" + owner + "' that owns " + path +
                " (sudo adduser $USER " + owner + ", then log in again)";
    }
    return EComPortError("Can't open specified device " + displayName + " (Error " +
                         std::to_string(code) + ", " + text + ")");
}

ComDevice::ComDevice(const std::string& path, const std::string& displayName) {
    if (path.empty()) throw openError(path, displayName, ENOENT);
    fd_.reset(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd_) throw openError(path, displayName, errno);
    int code = 0;
    if (!::isatty(fd_.get())) {
        code = ENOTTY;
    } else if (::flock(fd_.get(), LOCK_EX | LOCK_NB) != 0) {
        // Another program holds the device: the same as a busy port.
        code = errno == EWOULDBLOCK ? EBUSY : errno;
    } else if (::ioctl(fd_.get(), TIOCEXCL) != 0) {
        code = errno;
    }
    if (code != 0) {
        fd_.reset();
        throw openError(path, displayName, code);
    }
}

ComDevice::~ComDevice() {
    if (fd_) (void)::ioctl(fd_.get(), TIOCNXCL);
    // fd_ closes after this, which releases the lock too.
}

void ComDevice::apply(const LineSettings& s) {
    struct termios tio {};
    if (::tcgetattr(fd_.get(), &tio) != 0) throwDcbError(errno);
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
    switch (s.databits) {
        case TComDatabits::db4:
            throwDcbError(EINVAL);  // no 4-bit bytes on this platform
        case TComDatabits::db5:
            tio.c_cflag |= CS5;
            break;
        case TComDatabits::db6:
            tio.c_cflag |= CS6;
            break;
        case TComDatabits::db7:
            tio.c_cflag |= CS7;
            break;
        case TComDatabits::db8:
            tio.c_cflag |= CS8;
            break;
    }
    switch (s.parity) {
        case TComParity::paNone:
            break;
        case TComParity::paOdd:
            tio.c_cflag |= PARENB | PARODD;
            break;
        case TComParity::paEven:
            tio.c_cflag |= PARENB;
            break;
        case TComParity::paMark:
            tio.c_cflag |= PARENB | PARODD | CMSPAR;
            break;
        case TComParity::paSpace:
            tio.c_cflag |= PARENB | CMSPAR;
            break;
    }
    if (s.stopbits != TComStopbits::sb1) tio.c_cflag |= CSTOPB;  // 1.5 with 5 bits, else 2
    if (s.ctsFlow || s.rts == TComRtsControl::rtsHandshake) tio.c_cflag |= CRTSCTS;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
    if (s.xonXoffOut) tio.c_iflag |= IXON;
    if (s.xonXoffIn) tio.c_iflag |= IXOFF;
    if (s.parityCheck) tio.c_iflag |= INPCK;
    tio.c_cc[VSTART] = static_cast<cc_t>(s.xonChar);
    tio.c_cc[VSTOP] = static_cast<cc_t>(s.xoffChar);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;

    const speed_t standard = standardSpeed(s.bitsPerSecond);
    if (s.bitsPerSecond <= 0) throwDcbError(EINVAL);
    // The input-speed bits may still say "other speed" from an earlier set-up; cleared,
    // the input runs at the output speed.
    tio.c_cflag &= ~CIBAUD;
    if (::cfsetspeed(&tio, standard ? standard : B38400) != 0) throwDcbError(errno);
    if (::tcsetattr(fd_.get(), TCSANOW, &tio) != 0) throwDcbError(errno);
    if (!standard) {
        if (const int code = setLineSpeed(fd_.get(), s.bitsPerSecond)) throwDcbError(code);
    }
    if (s.dtr != TComDtrControl::dtrHandshake)
        setModemLine(fd_.get(), TIOCM_DTR, s.dtr == TComDtrControl::dtrEnabled);
    if (s.rts == TComRtsControl::rtsDisabled || s.rts == TComRtsControl::rtsEnabled)
        setModemLine(fd_.get(), TIOCM_RTS, s.rts == TComRtsControl::rtsEnabled);
}

int ComDevice::inputCount() const {
    int count = 0;
    if (::ioctl(fd_.get(), FIONREAD, &count) != 0) return -1;
    return count;
}

bool ComDevice::errorCounts(LineErrorCounts& counts) const {
    struct serial_icounter_struct ic {};
    if (::ioctl(fd_.get(), TIOCGICOUNT, &ic) != 0) return false;
    counts = {ic.frame, ic.overrun, ic.parity, ic.brk, ic.buf_overrun};
    return true;
}

int errorFlagsBetween(const LineErrorCounts& before, const LineErrorCounts& after) {
    int flags = 0;
    if (after.frame > before.frame) flags |= CE_FRAME;
    if (after.overrun > before.overrun) flags |= CE_OVERRUN;
    if (after.parity > before.parity) flags |= CE_RXPARITY;
    if (after.brk > before.brk) flags |= CE_BREAK;
    if (after.bufOverrun > before.bufOverrun) flags |= CE_RXOVER;
    return flags;
}

}  // namespace qr::serial
