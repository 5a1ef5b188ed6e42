#include "convert/TapeCodes.h"
#include "convert/OutputFile.h"
#include "core/TextFile.h"

#include <vector>

namespace korvane {
namespace {

// The characters of both tables in their search order.
constexpr char Characters[66] = "0123456789XY-*CDGIJM $#%+.\r\n\0ABEFHKLNOPQRSTUVWZ/=,!?\\&@():;'\"<>^|";

// EIA codes in the order of Characters; 0 for no code. NUL holds 0B, which
// is treated before the table is searched.
constexpr unsigned char EiaCodes[65] = {
    0x20, 0x01, 0x02, 0x13, 0x04, 0x15, 0x16, 0x07, 0x08, 0x19,        // 0-9
    0x37, 0x38, 0x40, 0x1A, 0x73, 0x64, 0x67, 0x79, 0x51, 0x54,        // X Y - * C D G I J M
    0x10, 0x00, 0x00, 0x5B, 0x70, 0x6B, 0x80, 0x00, 0x0B,              // blank $ # % + . CR LF NUL
    0x61, 0x62, 0x75, 0x76, 0x68, 0x52, 0x43, 0x45, 0x46, 0x57,        // A B E F H K L N O P
    0x58, 0x49, 0x32, 0x23, 0x34, 0x25, 0x26, 0x29,                    // Q R S T U V W Z
    0x31, 0x00, 0x3B, 0x00, 0x00, 0x00, 0x0E,                          // / = , ! ? \ &
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // @ ( ) : ; ' " < > ^ |
};

constexpr unsigned char EbcdicCodes[65] = {
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9,        // 0-9
    0xE7, 0xE8, 0x60, 0x5C, 0xC3, 0xC4, 0xC7, 0xC9, 0xD1, 0xD4,        // X Y - * C D G I J M
    0x40, 0x5B, 0x7B, 0x6C, 0x4E, 0x4B, 0x00, 0x00, 0x00,              // blank $ # % + . CR LF NUL
    0xC1, 0xC2, 0xC5, 0xC6, 0xC8, 0xD2, 0xD3, 0xD5, 0xD6, 0xD7,        // A B E F H K L N O P
    0xD8, 0xD9, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE9,                    // Q R S T U V W Z
    0x61, 0x7E, 0x6B, 0x5A, 0x6F, 0x00, 0x50,                          // / = , ! ? \ &
    0x7C, 0x4D, 0x5D, 0x7A, 0x5E, 0x7D, 0x7F, 0x4C, 0x6E, 0x6A, 0x4F,  // @ ( ) : ; ' " < > ^ |
};

std::array<TapePair, 65> makeTable(const unsigned char (&codes)[65])
{
    std::array<TapePair, 65> table{};
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = {static_cast<unsigned char>(Characters[i]), codes[i]};
    return table;
}

// The first pair whose code (or character) is `b`; nothing found leaves
// the byte as it is.
unsigned char byCode(const std::array<TapePair, 65> &table, unsigned char b)
{
    for (const TapePair &p : table)
        if (p.code == b)
            return p.ascii;
    return b;
}

unsigned char byCharacter(const std::array<TapePair, 65> &table, unsigned char b)
{
    for (const TapePair &p : table)
        if (p.ascii == b)
            return p.code;
    return b;
}

constexpr size_t ChunkSize = 1 << 16;

}  // namespace

const std::array<TapePair, 65> &eiaTable()
{
    static const auto table = makeTable(EiaCodes);
    return table;
}

const std::array<TapePair, 65> &ebcdicTable()
{
    static const auto table = makeTable(EbcdicCodes);
    return table;
}

TapeCodec::TapeCodec(TapeOperation operation) : operation_(operation)
{
    for (int i = 0; i < 256; ++i) {
        auto b = static_cast<unsigned char>(i);
        unsigned char m = b;
        switch (operation) {
        case TapeOperation::DecodeEia:
            m = b == 0x80 ? '\r' : b == 0x0B ? '%' : b == 0x00 ? 0x00 : byCode(eiaTable(), b);
            break;
        case TapeOperation::EncodeEia:
            m = b == '\n' ? 0x00 : b == '\r' ? 0x80 : b == 0x00 ? 0x00 : byCharacter(eiaTable(), b);
            dropped_[i] = m == 0x00;
            break;
        case TapeOperation::DecodeEbcdic: m = b == 0x0D ? 0x0D : b == 0x15 ? '\n' : byCode(ebcdicTable(), b); break;
        case TapeOperation::EncodeEbcdic:
            m = b == '\r' ? 0x0D : b == '\n' ? 0x15 : byCharacter(ebcdicTable(), b);
            break;
        }
        map_[i] = m;
    }
}

void TapeCodec::convert(std::string_view in, std::string &out) const
{
    size_t start = out.size();
    out.resize(start + (operation_ == TapeOperation::DecodeEia ? 2 * in.size() : in.size()));
    char *o = out.data() + start;
    const auto *p = reinterpret_cast<const unsigned char *>(in.data());
    const auto *end = p + in.size();
    switch (operation_) {
    case TapeOperation::DecodeEia:
        for (; p < end; ++p) {
            unsigned char m = map_[*p];
            *o++ = static_cast<char>(m);
            if (m == '\r')
                *o++ = '\n';
        }
        break;
    case TapeOperation::EncodeEia:
        for (; p < end; ++p) {
            *o = static_cast<char>(map_[*p]);
            o += dropped_[*p] ? 0 : 1;
        }
        break;
    default:
        for (; p < end; ++p)
            *o++ = static_cast<char>(map_[*p]);
        break;
    }
    out.resize(static_cast<size_t>(o - out.data()));
}

std::unique_ptr<TapeCodec> decoderFor(CharCode code)
{
    switch (code) {
    case CharCode::Eia: return std::make_unique<TapeCodec>(TapeOperation::DecodeEia);
    case CharCode::Ebcdic: return std::make_unique<TapeCodec>(TapeOperation::DecodeEbcdic);
    case CharCode::Ascii: break;
    }
    return nullptr;
}

void readBlocks(InputFile &input, const TapeCodec *decoder, std::size_t blockSize,
                const std::function<bool(std::string_view)> &take)
{
    std::vector<char> buffer(blockSize);
    std::string decoded;
    for (;;) {
        size_t n = input.read(buffer.data(), buffer.size());
        if (n == 0)
            return;
        std::string_view block(buffer.data(), n);
        if (decoder) {
            decoded.clear();
            decoder->convert(block, decoded);
            block = decoded;
        }
        if (!take(block))
            return;
    }
}

void convertTapeFile(TapeOperation operation, const std::string &inputPath, const std::string &outputPath)
{
    InputFile input(inputPath);
    refuseOutputOntoInput(inputPath, outputPath);
    OutputFileSink output(outputPath);
    TapeCodec codec(operation);
    readBlocks(input, &codec, ChunkSize, [&](std::string_view mapped) {
        output.write(mapped);
        return true;
    });
    output.commit();
}

void decodeEia(const std::string &in, const std::string &out) { convertTapeFile(TapeOperation::DecodeEia, in, out); }
void encodeEia(const std::string &in, const std::string &out) { convertTapeFile(TapeOperation::EncodeEia, in, out); }
void decodeEbcdic(const std::string &in, const std::string &out)
{
    convertTapeFile(TapeOperation::DecodeEbcdic, in, out);
}
void encodeEbcdic(const std::string &in, const std::string &out)
{
    convertTapeFile(TapeOperation::EncodeEbcdic, in, out);
}

}  // namespace korvane
