#pragma once

#include <cstdint>
#include <string>

#include "SerialBackend.h"

// The serial port the unit is on: owns the platform handle and applies the
// unit's line settings (9600 8N1, RTS raised) and time-outs when opened.
class VCOM_Port {
  public:
    explicit VCOM_Port(const char* name);
    ~VCOM_Port();
    VCOM_Port(const VCOM_Port&) = delete;
    VCOM_Port& operator=(const VCOM_Port&) = delete;

    // Takes effect at the next Open after a Close.
    void SetName(const char* name);
    const std::string& Name() const { return name_; }

    bool Open();
    // Why the last Open failed (UTF-8), empty after a good one.
    const std::string& OpenError() const { return openError_; }
    // The same as a kind and a system code, for the window's own words.
    const k57::OpenProblem& LastOpenProblem() const { return openProblem_; }
    void Close();
    bool IsOpen() const { return handle_ != nullptr; }

    // Waits up to `ms` for received bytes without taking any; false at once
    // when none can come (the port is closed or has hung up).
    bool WaitForInput(uint32_t ms);
    uint32_t BytesToRead();
    uint32_t BytesToWrite();
    // Free room in the 64-byte send window that message writers size by.
    int32_t WriteSpace();

    int Write(const void* buffer, int length);
    int Read(void* buffer, int length);

    static constexpr int kWriteWindow = 64;
    // The line settings every open applies, in words for a support report.
    static std::string LineSettingsText();

  private:
    void FailOpen(const std::string& caption, const std::string& text);

    std::string name_;
    std::string openError_;
    k57::OpenProblem openProblem_;
    k57::serial::Device* handle_ = nullptr;
};
