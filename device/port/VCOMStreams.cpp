#include "VCOMStreams.h"

int VCOMInputStream::available() {
    return int(port_->BytesToRead());
}

bool VCOMInputStream::isOpen() {
    return port_->IsOpen();
}

void VCOMInputStream::close() {
    port_->Close();
}

bool VCOMInputStream::open() {
    return port_->Open();
}

bool VCOMInputStream::isEmpty() {
    return port_->BytesToRead() == 0;
}

int VCOMInputStream::read(void* buffer, int length) {
    if (!port_->IsOpen()) {
        return -1;
    }
    return port_->Read(buffer, length) < length ? -2 : length;
}

bool VCOMOutputStream::isOpen() {
    return port_->IsOpen();
}

void VCOMOutputStream::close() {
    port_->Close();
}

bool VCOMOutputStream::open() {
    return port_->Open();
}

int VCOMOutputStream::available() {
    return port_->WriteSpace();
}

bool VCOMOutputStream::isEmpty() {
    return port_->BytesToWrite() == 0;
}

int VCOMOutputStream::write(const void* buffer, int length) {
    if (!port_->IsOpen()) {
        return -1;
    }
    return port_->Write(buffer, length) < length ? -2 : length;
}
