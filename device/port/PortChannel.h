#pragma once

#include "ByteChannel.h"
#include "VCOMStreams.h"
#include "VCOM_Port.h"

namespace k57 {

// The byte channel over a serial port it does not own.
class PortChannel : public ByteChannel {
  public:
    explicit PortChannel(VCOM_Port& port) : port_(port) {}
    bool Open() override { return port_.Open(); }
    std::string OpenError() const override { return port_.OpenError(); }
    OpenProblem LastOpenProblem() const override { return port_.LastOpenProblem(); }
    void Close() override { port_.Close(); }
    bool IsOpen() const override { return port_.IsOpen(); }
    bool WaitForInput(uint32_t ms) override { return port_.WaitForInput(ms); }
    int Available() override { return input_.available(); }
    int Read(void* buffer, int n) override { return input_.read(buffer, n); }
    int Write(const void* buffer, int n) override { return output_.write(buffer, n); }

  private:
    VCOM_Port& port_;
    VCOMInputStream input_{&port_};
    VCOMOutputStream output_{&port_};
};

}  // namespace k57
