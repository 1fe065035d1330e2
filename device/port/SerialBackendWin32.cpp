// Windows serial backend: the communications API on a synchronous handle.
//
// The wait for input looks at the driver's input queue with a short sleep
// between looks, rather than WaitCommEvent, which some drivers (and Wine)
// complete at once without an event.

#include <windows.h>

#include "Clock.h"
#include "PortMapping.h"
#include "SerialBackend.h"

namespace k57::serial {

struct Device {
    HANDLE handle = INVALID_HANDLE_VALUE;
};

namespace {

// How long the input wait sleeps between two looks at the queue.
constexpr DWORD kInputPollMs = 2;

// The driver's queue sizes; false when the port is gone (unplugged).
bool Queues(Device* device, COMSTAT& status) {
    DWORD errors = 0;
    return ClearCommError(device->handle, &errors, &status) != 0;
}

bool CommState(Device* device, DCB& dcb) {
    dcb = DCB{};
    dcb.DCBlength = sizeof dcb;
    return GetCommState(device->handle, &dcb) != 0;
}

// The system's text for an error code, as UTF-8.
std::string SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string utf8;
    if (n > 0) {
        int size = WideCharToMultiByte(CP_UTF8, 0, text, int(n), nullptr, 0, nullptr, nullptr);
        utf8.resize(size_t(size));
        WideCharToMultiByte(CP_UTF8, 0, text, int(n), utf8.data(), size, nullptr, nullptr);
        while (!utf8.empty() &&
               (utf8.back() == '\n' || utf8.back() == '\r' || utf8.back() == '.')) {
            utf8.pop_back();
        }
    }
    LocalFree(text);
    return utf8.empty() ? "error " + std::to_string(code) : utf8;
}

}  // namespace

Device* OpenExclusive(const std::string& name, std::string& reason, OpenProblem* problem) {
    OpenProblem ignored;
    OpenProblem& why = problem ? *problem : ignored;
    why = OpenProblem{};
    std::string path = ports::Resolve(name);
    if (path.empty()) {
        reason = "no such port";
        why.kind = OpenProblem::Kind::NoSuchPort;
        return nullptr;
    }
    // No sharing: a port held by another program (or another window) is
    // refused here.
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        reason = SystemMessage(code);
        why = {OpenProblem::Kind::System, int(code)};
        return nullptr;
    }
    // A roomy input queue: the monitors read in ticks, and a busy CAN bus
    // brings several kilobytes between two. The size is advice; a driver
    // may keep its own.
    SetupComm(handle, 64 * 1024, 4 * 1024);
    PurgeComm(handle, PURGE_RXCLEAR | PURGE_RXABORT);
    return new Device{handle};
}

void Close(Device* device) {
    if (!device) {
        return;
    }
    CloseHandle(device->handle);
    delete device;
}

bool ReadLineSettings(Device* device, LineSettings& settings) {
    DCB dcb;
    if (!CommState(device, dcb)) {
        return false;
    }
    settings.baudRate = dcb.BaudRate;
    settings.dataBits = dcb.ByteSize;
    settings.parity = dcb.Parity;
    settings.stopBits = dcb.StopBits;
    settings.raiseRts = dcb.fRtsControl == RTS_CONTROL_ENABLE;
    return true;
}

bool ApplyLineSettings(Device* device, const LineSettings& settings) {
    DCB dcb;
    if (!CommState(device, dcb)) {
        return false;
    }
    dcb.BaudRate = settings.baudRate;
    dcb.ByteSize = settings.dataBits;
    dcb.Parity = settings.parity;
    dcb.StopBits = settings.stopBits;
    // Binary-transparent: no XON/XOFF, no NUL stripping, no error abort.
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    if (settings.raiseRts) {
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
    }
    return SetCommState(device->handle, &dcb) != 0;
}

bool ApplyTimeouts(Device* device, const Timeouts& timeouts) {
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = timeouts.readInterval;
    t.ReadTotalTimeoutMultiplier = timeouts.readMultiplier;
    t.ReadTotalTimeoutConstant = timeouts.readConstant;
    t.WriteTotalTimeoutMultiplier = timeouts.writeMultiplier;
    t.WriteTotalTimeoutConstant = timeouts.writeConstant;
    return SetCommTimeouts(device->handle, &t) != 0;
}

bool WaitForInput(Device* device, uint32_t ms) {
    uint32_t start = TickMs();
    for (;;) {
        COMSTAT status{};
        if (!Queues(device, status)) {
            return false;
        }
        uint32_t elapsed = TickMs() - start;
        if (status.cbInQue > 0 || elapsed >= ms) {
            return true;
        }
        DWORD left = ms - elapsed;
        Sleep(left < kInputPollMs ? left : kInputPollMs);
    }
}

uint32_t BytesToRead(Device* device) {
    COMSTAT status{};
    return Queues(device, status) ? status.cbInQue : 0;
}

uint32_t BytesToWrite(Device* device) {
    COMSTAT status{};
    return Queues(device, status) ? status.cbOutQue : 0;
}

int Read(Device* device, void* buffer, int length) {
    DWORD done = 0;
    if (!ReadFile(device->handle, buffer, DWORD(length), &done, nullptr)) {
        return 0;
    }
    return int(done);
}

int Write(Device* device, const void* buffer, int length) {
    DWORD done = 0;
    if (!WriteFile(device->handle, buffer, DWORD(length), &done, nullptr)) {
        return 0;
    }
    return int(done);
}

}  // namespace k57::serial
