#include "soundfiles/ExportTestSupport.h"

#include <gtest/gtest.h>

namespace exporttest {

std::string dataFileText(int frameCount, const std::vector<std::vector<int>>& framesPerCell) {
    std::string text = "512 512 20 1\n" + std::to_string(frameCount) + " 0 0 0\n0 0 0 0\n0 0 0 0\n";
    for (std::size_t c = 0; c < framesPerCell.size(); ++c) {
        // X must not be 0, which would end the data.
        text += std::to_string(c + 1) + " " + std::to_string(10 + c) + " 20 1\n";
        for (int f : framesPerCell[c]) text += std::to_string(f) + " ";
        text += "\n";
    }
    return text;
}

void PrintTo(const SmfEvent& e, std::ostream* os) {
    *os << e.tick << ":" << std::hex;
    for (int b : e.bytes) *os << ' ' << b;
    *os << std::dec;
}

namespace {

struct Reader {
    const std::string& s;
    std::size_t at = 0;
    bool ok = true;
    int byte() {
        if (at >= s.size()) {
            ok = false;
            return 0;
        }
        return static_cast<uint8_t>(s[at++]);
    }
    uint32_t big(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) v = v << 8 | static_cast<uint32_t>(byte());
        return v;
    }
    uint32_t little(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) v |= static_cast<uint32_t>(byte()) << (8 * i);
        return v;
    }
    uint32_t varLen() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const int b = byte();
            v = v << 7 | static_cast<uint32_t>(b & 0x7F);
            if (!(b & 0x80)) return v;
        }
        ok = false;
        return v;
    }
    std::string text(int n) {
        std::string t;
        for (int i = 0; i < n; ++i) t += static_cast<char>(byte());
        return t;
    }
};

// Data bytes after a channel status, by the status's kind.
int dataBytesOf(int status) {
    const int kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

}  // namespace

Smf parseSmf(const std::string& file) {
    Smf smf;
    Reader r{file};
    EXPECT_EQ(r.text(4), "MThd");
    EXPECT_EQ(r.big(4), 6u);
    smf.format = static_cast<int>(r.big(2));
    smf.tracks = static_cast<int>(r.big(2));
    smf.division = static_cast<int>(r.big(2));
    EXPECT_EQ(r.text(4), "MTrk");
    const std::size_t end = r.at + 4 + r.big(4);
    EXPECT_EQ(end, file.size()) << "track length";
    int64_t tick = 0;
    int running = -1;
    while (r.ok && r.at < end) {
        tick += r.varLen();
        SmfEvent e{tick, {r.byte()}};
        if (e.bytes[0] == 0xFF) {
            running = -1;  // meta events cancel running status
            e.bytes.push_back(r.byte());
            const uint32_t length = r.varLen();
            e.bytes.push_back(static_cast<int>(length));
            for (uint32_t i = 0; i < length; ++i) e.bytes.push_back(r.byte());
        } else {
            if (e.bytes[0] < 0x80) {  // running status: the byte read is data
                EXPECT_GE(running, 0x80) << "data byte with no status in effect at tick " << tick;
                e.bytes.insert(e.bytes.begin(), running);
                ++smf.runningStatusEvents;
            }
            running = e.bytes[0];
            while (static_cast<int>(e.bytes.size()) < 1 + dataBytesOf(e.bytes[0])) e.bytes.push_back(r.byte());
        }
        smf.events.push_back(e);
    }
    EXPECT_TRUE(r.ok) << "file cut short";
    return smf;
}

Wav parseWav(const std::string& file) {
    Wav wav;
    Reader r{file};
    EXPECT_EQ(r.text(4), "RIFF");
    EXPECT_EQ(r.little(4), file.size() - 8);
    EXPECT_EQ(r.text(8), "WAVEfmt ");
    EXPECT_EQ(r.little(4), 16u);
    EXPECT_EQ(r.little(2), 1u);  // PCM
    wav.channels = static_cast<int>(r.little(2));
    wav.sampleRate = static_cast<int>(r.little(4));
    r.little(4);
    r.little(2);
    wav.bitsPerSample = static_cast<int>(r.little(2));
    EXPECT_EQ(r.text(4), "data");
    wav.dataBytes = r.little(4);
    EXPECT_EQ(wav.dataBytes, file.size() - 44);
    wav.samples.reserve(wav.dataBytes / 2);
    while (r.ok && r.at + 1 < file.size())
        wav.samples.push_back(static_cast<float>(static_cast<int16_t>(r.little(2))) / 32767.0f);
    return wav;
}

}  // namespace exporttest
