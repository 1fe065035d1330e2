#include "BlfReader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace k57 {

namespace {

constexpr uint32_t kCanMessage = 1;
constexpr uint32_t kLogContainer = 10;
constexpr uint32_t kCanErrorExt = 73;
constexpr uint32_t kCanMessage2 = 86;
constexpr uint32_t kCanFdMessage = 100;
constexpr uint32_t kCanFdMessage64 = 101;
constexpr size_t kBaseHeader = 16;  // "LOBJ", header size, version, object size, type
constexpr long long kMaxFileHeader = 1 << 20;

uint32_t Little(const char* at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(at[i]);
    }
    return value;
}

uint64_t Little64(const char* at) {
    return uint64_t(Little(at + 4, 4)) << 32 | Little(at, 4);
}

class Blf {
  public:
    Blf(std::istream& in, long long size, CanRecording& recording)
        : in_(in), size_(size), recording_(recording) {}

    void Read() {
        if (!FileHeader()) {
            return;
        }
        while (!stopped_ && !recording_.full && TopObject()) {
        }
        if (!stopped_ && Leftover()) {
            Damage(dataFrom_, "an object runs past the end of the last container");
        }
    }

  private:
    bool Take(std::string& bytes, size_t count) {
        bytes.resize(count);
        in_.read(&bytes[0], std::streamsize(count));
        bytes.resize(size_t(in_.gcount()));
        offset_ += static_cast<long long>(bytes.size());
        return bytes.size() == count;
    }

    void Damage(long long at, const std::string& reason) {
        recording_.Malformed(0, "byte " + std::to_string(at) + ": " + reason);
        stopped_ = true;
    }

    // A declared size the reader may allocate: within the limit and the file.
    bool Fits(long long at, long long bytes, const char* what) {
        if (bytes > kMaxBlfObject) {
            Damage(at, std::string(what) + " of " + std::to_string(bytes) +
                           " bytes is over the limit of " + std::to_string(kMaxBlfObject));
            return false;
        }
        if (size_ >= 0 && at + bytes > size_) {
            Damage(at, std::string(what) + " of " + std::to_string(bytes) +
                           " bytes runs past the end of the file, " + std::to_string(size_ - at) +
                           " bytes on");
            return false;
        }
        return true;
    }

    bool FileHeader() {
        std::string head;
        if (!Take(head, 8) || head.compare(0, 4, "LOGG") != 0) {
            Damage(0, head.size() < 8 ? "the file header is cut short" : "no \"LOGG\" file header");
            return false;
        }
        long long headerSize = Little(&head[4], 4);
        if (headerSize < 8 || headerSize > kMaxFileHeader || !Fits(0, headerSize, "the file header")) {
            if (!stopped_) {
                Damage(0, "a file header of " + std::to_string(headerSize) + " bytes");
            }
            return false;
        }
        if (!Take(head, size_t(headerSize - 8))) {
            Damage(0, "the file header is cut short");
            return false;
        }
        return true;
    }

    // One object of the file; false at its end or on damage.
    bool TopObject() {
        long long at = offset_;
        std::string base;
        if (!Take(base, kBaseHeader)) {
            if (!base.empty()) {
                Damage(at, "the file ends inside an object's header");
            }
            return false;
        }
        if (base.compare(0, 4, "LOBJ") != 0) {
            Damage(at, "no object here (\"LOBJ\" expected)");
            return false;
        }
        long long size = Little(&base[8], 4);
        if (size < static_cast<long long>(kBaseHeader)) {
            Damage(at, "an object size of " + std::to_string(size) + " bytes");
            return false;
        }
        if (!Fits(at, size, "an object")) {
            return false;
        }
        std::string body;
        if (!Take(body, size_t(size) - kBaseHeader)) {
            Damage(at, "the file ends inside the object");
            return false;
        }
        if (Little(&base[12], 4) == kLogContainer) {
            if (!Container(at, body)) {
                return false;
            }
        } else if (data_.size() == pos_) {
            Append(at, base + body);  // an object outside a container
        }
        std::string padding;
        Take(padding, size_t(size % 4));
        return true;
    }

    bool Container(long long at, const std::string& body) {
        if (body.size() < 16) {
            Damage(at, "a container shorter than its header");
            return false;
        }
        uint32_t method = Little(&body[0], 2);
        long long declared = Little(&body[8], 4);
        if (method == 0) {
            Append(at, body.substr(16));
            return !stopped_;
        }
        if (method != 2) {
            Damage(at, "a container compressed by method " + std::to_string(method));
            return false;
        }
        if (declared > kMaxBlfObject) {
            Damage(at, "a container of " + std::to_string(declared) +
                           " bytes unpacked is over the limit of " + std::to_string(kMaxBlfObject));
            return false;
        }
        std::string unpacked(size_t(declared), '\0');
        uLongf length = uLongf(declared);
        int result = uncompress(reinterpret_cast<Bytef*>(&unpacked[0]), &length,
                                reinterpret_cast<const Bytef*>(body.data() + 16),
                                uLong(body.size() - 16));
        if (result != Z_OK) {
            Damage(at, "the container's zlib data are damaged or longer than it says");
            return false;
        }
        unpacked.resize(length);
        Append(at, unpacked);
        return !stopped_;
    }

    // A container's data after what is left of the one before: an object may
    // begin in one container and end in the next.
    void Append(long long container, const std::string& bytes) {
        data_.erase(0, pos_);
        pos_ = 0;
        size_t fresh = data_.size();
        data_ += bytes;
        if (fresh == 0) {
            dataFrom_ = container;
        }
        while (!stopped_ && !recording_.full && Object(container, fresh)) {
        }
    }

    // The object at pos_, when all of it has come; false otherwise.
    bool Object(long long container, size_t fresh) {
        size_t skip = std::min(padding_, data_.size() - pos_);
        pos_ += skip;
        padding_ -= skip;
        if (pos_ >= fresh) {
            dataFrom_ = container;  // what is left began in this container
        }
        if (data_.size() - pos_ < kBaseHeader) {
            return false;
        }
        const char* o = data_.data() + pos_;
        uint32_t size = Little(o + 8, 4);
        size_t header = Little(o + 4, 2);
        if (std::memcmp(o, "LOBJ", 4) != 0) {
            Damage(dataFrom_, "no object here in the container's data (\"LOBJ\" expected)");
            return false;
        }
        if (size < kBaseHeader || size > kMaxBlfObject || header < kBaseHeader || header > size) {
            Damage(dataFrom_, "an object in the container declares " + std::to_string(size) +
                                  " bytes with a header of " + std::to_string(header));
            return false;
        }
        if (data_.size() - pos_ < size) {
            return false;  // the rest is in the next container
        }
        Contents(o, header, size);
        pos_ += size;
        padding_ = size % 4;
        return true;
    }

    void Contents(const char* o, size_t header, size_t size) {
        uint32_t version = Little(o + 6, 2);
        uint32_t type = Little(o + 12, 4);
        if (type == kCanFdMessage || type == kCanFdMessage64 || type == kCanErrorExt) {
            ++recording_.skipped;
            return;
        }
        if ((type != kCanMessage && type != kCanMessage2) || (version != 1 && version != 2)) {
            return;  // markers, texts, statistics: not frames
        }
        if (header < 32 || size - header < 16) {
            Damage(dataFrom_, "a CAN message object shorter than its fields");
            return;
        }
        uint32_t unit = Little(o + 16, 4);
        uint64_t stamp = Little64(o + 24);
        const char* m = o + header;
        uint32_t id = Little(m + 4, 4);
        uint8_t dlc = uint8_t(std::min<uint32_t>(Little(m + 3, 1), 8));  // 9 to 15: 8 bytes
        LoggedFrame frame{unit & 1 ? int64_t(stamp * 10) : int64_t((stamp + 500) / 1000),
                          id & 0x1FFFFFFFu, (id & 0x80000000u) != 0,
                          (Little(m + 2, 1) & 0x80) != 0, dlc, {}};
        if (!IdentifierFits(frame.id, frame.extended)) {
            recording_.Malformed(0, "byte " + std::to_string(dataFrom_) +
                                        ": a standard identifier over 7FF");
            return;
        }
        std::memcpy(frame.data, m + 8, frame.remote ? 0 : dlc);
        recording_.Add(frame);
    }

    // Bytes after the last whole object that are not padding.
    bool Leftover() const {
        for (size_t i = pos_ + std::min(padding_, data_.size() - pos_); i < data_.size(); ++i) {
            if (data_[i] != 0) {
                return true;
            }
        }
        return false;
    }

    std::istream& in_;
    long long size_;
    CanRecording& recording_;
    long long offset_ = 0;
    bool stopped_ = false;
    std::string data_;       // the containers' data not yet read as objects, from pos_
    size_t pos_ = 0;
    size_t padding_ = 0;     // still to pass over after the last object
    long long dataFrom_ = 0;  // the container where the data at pos_ began
};

}  // namespace

void ReadBlf(std::istream& in, long long size, CanRecording& recording) {
    Blf(in, size, recording).Read();
}

}  // namespace k57
