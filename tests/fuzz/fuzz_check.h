#pragma once
// Invariants of the fuzz targets, and reading typed values from the fuzzer's bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken invariant aborts, so libFuzzer keeps the input as a crash.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "broken invariant: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace velmora::fuzz {

// Little-endian reads from the fuzzer's bytes, zero past the end.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    template <typename T>
    T Take() {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i, ++at_)
            if (at_ < size_) value |= std::uint64_t{data_[at_]} << (8 * i);
        return static_cast<T>(value);
    }
    const std::uint8_t* Rest() const { return data_ + (at_ < size_ ? at_ : size_); }
    std::size_t RestSize() const { return at_ < size_ ? size_ - at_ : 0; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace velmora::fuzz
