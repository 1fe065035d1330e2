#pragma once

#include "TextLink.h"
#include "VCOMStreams.h"
#include "VCOM_Port.h"

namespace k57 {

// The text link over a serial port it does not own.
class PortLink : public TextLink {
  public:
    explicit PortLink(VCOM_Port& port) : port_(port) {}
    bool Open() override { return port_.Open(); }
    std::string OpenError() const override { return port_.OpenError(); }
    void Close() override { port_.Close(); }
    bool IsOpen() const override { return port_.IsOpen(); }
    bool WaitForInput(uint32_t ms) override { return port_.WaitForInput(ms); }
    orvan::io::InputStream& input() override { return input_; }
    orvan::io::OutputStream& output() override { return output_; }

  private:
    VCOM_Port& port_;
    VCOMInputStream input_{&port_};
    VCOMOutputStream output_{&port_};
};

}  // namespace k57
