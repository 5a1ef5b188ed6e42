#pragma once
// The paper-tape codes EIA and EBCDIC: byte maps to and from ASCII, used by
// the four code conversion commands and by the writers for tape-coded input.
#include "core/TextFile.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/Formats.h"

namespace korvane {

enum class TapeOperation { DecodeEia, EncodeEia, DecodeEbcdic, EncodeEbcdic };

// One (ASCII character, tape code) pair of a code table; code 0 means the
// character has no code in that tape set.
struct TapePair {
    unsigned char ascii;
    unsigned char code;
};

// The two tables of 65 pairs, in their search order.
const std::array<TapePair, 65> &eiaTable();
const std::array<TapePair, 65> &ebcdicTable();

// A byte map of one operation. Every byte maps to itself, another byte, or
// nothing (encodeEia drops the bytes without a code); decodeEia follows every
// CR with LF. Bytes do not depend on their neighbours, so the input may be
// cut anywhere.
class TapeCodec {
public:
    explicit TapeCodec(TapeOperation operation);
    // Appends the mapped bytes of `in` to `out`.
    void convert(std::string_view in, std::string &out) const;
    TapeOperation operation() const { return operation_; }

private:
    TapeOperation operation_;
    std::array<unsigned char, 256> map_{};
    std::array<bool, 256> dropped_{};
};

// The decoder a writer reads its input through: EIA for drill data, EBCDIC
// for Gerber data, nothing for ASCII.
std::unique_ptr<TapeCodec> decoderFor(CharCode code);

// Reads a whole file in blocks of `blockSize`, decoded when `decoder` is
// given; `take` gets each block and returns false to stop.
void readBlocks(InputFile &input, const TapeCodec *decoder, std::size_t blockSize,
                const std::function<bool(std::string_view)> &take);

// The file commands: the input read in blocks, the output written to a
// temporary file beside it and renamed onto its name only when the whole
// file was converted. An output that is the input itself is refused before
// anything is written. Errors throw KorvaneError with the platform's text.
void convertTapeFile(TapeOperation operation, const std::string &inputPath, const std::string &outputPath);
void decodeEia(const std::string &inputPath, const std::string &outputPath);
void encodeEia(const std::string &inputPath, const std::string &outputPath);
void decodeEbcdic(const std::string &inputPath, const std::string &outputPath);
void encodeEbcdic(const std::string &inputPath, const std::string &outputPath);

}  // namespace korvane
