#pragma once

#include "Streams.h"
#include "VCOM_Port.h"

// Stream adapters over a port they do not own: destroying one leaves the
// port as it is.
class VCOMInputStream : public orvan::io::InputStream {
  public:
    explicit VCOMInputStream(VCOM_Port* port) : port_(port) {}
    ~VCOMInputStream() override {}
    int available() override;
    bool isOpen() override;
    void close() override;
    bool open() override;
    bool isEmpty() override;
    int read(void* buffer, int length) override;

  private:
    VCOM_Port* port_;
};

class VCOMOutputStream : public orvan::io::OutputStream {
  public:
    explicit VCOMOutputStream(VCOM_Port* port) : port_(port) {}
    ~VCOMOutputStream() override {}
    bool isOpen() override;
    void close() override;
    bool open() override;
    int available() override;
    bool isEmpty() override;
    int write(const void* buffer, int length) override;

  private:
    VCOM_Port* port_;
};
