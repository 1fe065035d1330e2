#include "VCOM_Port.h"

#include "Notifier.h"
#include "ProgramText.h"
#include "TextArguments.h"

namespace {

const k57::serial::LineSettings kUnitLine{9600, 8, 0, 0, true};
// A read or write of n bytes may take 1000 + n ms.
const k57::serial::Timeouts kUnitTimeouts{0, 1, 1000, 1, 1000};

std::string ParameterText(const k57::serial::LineSettings& s) {
    return k57::WithArguments(K57_TR("VCOM_Port", "Параметры порта %1, %2, Parity %3, StopBits %4"),
                              {std::to_string(s.baudRate), std::to_string(s.dataBits),
                               std::to_string(s.parity), std::to_string(s.stopBits + 1)});
}

}  // namespace

std::string VCOM_Port::LineSettingsText() {
    return std::to_string(kUnitLine.baudRate) + " bit/s, " + std::to_string(kUnitLine.dataBits) +
           " data bits, " + (kUnitLine.parity ? "parity" : "no parity") + ", " +
           std::to_string(kUnitLine.stopBits + 1) + " stop bit" +
           (kUnitLine.raiseRts ? ", RTS raised" : "");
}

VCOM_Port::VCOM_Port(const char* name) : name_(name ? name : "") {}

VCOM_Port::~VCOM_Port() {
    Close();
}

void VCOM_Port::SetName(const char* name) {
    name_ = name ? name : "";
}

bool VCOM_Port::Open() {
    namespace serial = k57::serial;
    if (IsOpen()) {
        return true;
    }
    openError_.clear();
    handle_ = serial::OpenExclusive(name_, openError_, &openProblem_);
    if (!handle_) {
        return false;
    }
    serial::LineSettings current;
    if (!serial::ReadLineSettings(handle_, current)) {
        // "Error" is the box's own English caption, in every language.
        FailOpen("Error", K57_TR("VCOM_Port", "Статус порта не досупен"));
        return false;
    }
    if (!serial::ApplyLineSettings(handle_, kUnitLine)) {
        FailOpen(K57_TR("VCOM_Port", "Параметры порта не устанавливаются"),
                 ParameterText(kUnitLine));
        return false;
    }
    if (!serial::ApplyTimeouts(handle_, kUnitTimeouts)) {
        FailOpen(K57_TR("VCOM_Port", "Параметры таймаута не устанавливаются"),
                 ParameterText(kUnitLine));
        return false;
    }
    return true;
}

// A port whose settings could not be applied is closed again, so that the
// next Open cannot report success with settings nobody applied.
void VCOM_Port::FailOpen(const std::string& caption, const std::string& text) {
    Close();
    openError_ = "the line settings cannot be applied";
    openProblem_ = {k57::OpenProblem::Kind::LineSettings, 0};
    k57::CurrentNotifier().Notify(nullptr, caption, text);
}

void VCOM_Port::Close() {
    if (handle_) {
        k57::serial::Close(handle_);
        handle_ = nullptr;
    }
}

bool VCOM_Port::WaitForInput(uint32_t ms) {
    return IsOpen() && k57::serial::WaitForInput(handle_, ms);
}

uint32_t VCOM_Port::BytesToRead() {
    return IsOpen() ? k57::serial::BytesToRead(handle_) : 0;
}

uint32_t VCOM_Port::BytesToWrite() {
    return IsOpen() ? k57::serial::BytesToWrite(handle_) : 0;
}

int32_t VCOM_Port::WriteSpace() {
    if (!IsOpen()) {
        return 0;
    }
    uint32_t queued = BytesToWrite();
    return queued >= uint32_t(kWriteWindow) ? 0 : kWriteWindow - int32_t(queued);
}

int VCOM_Port::Write(const void* buffer, int length) {
    return IsOpen() ? k57::serial::Write(handle_, buffer, length) : 0;
}

int VCOM_Port::Read(void* buffer, int length) {
    return IsOpen() ? k57::serial::Read(handle_, buffer, length) : 0;
}
