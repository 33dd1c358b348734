// tune.mp3: an arena-organ tune of 32 bars at 120 beats a minute (64 s). It ends on the
// dominant with a rest, and every tail (notes, rotary speaker, room) wraps round to the
// start, so the stream loops without a seam.
#include <lame/lame.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "assetgen.h"
#include "output.h"
#include "rng.h"
#include "synth.h"

namespace {

constexpr int kBars = 32;
constexpr float kEighth = 0.25f;  // seconds
constexpr int kLoop = kBars * 8 * kRate / 4;  // 64 s in samples

enum Voice { Lead, Chord, Bass };

struct Note {
    float start;   // eighths from the top
    float length;  // eighths
    int midi;
    Voice voice;
    float level;
};

struct Step {
    int midi;  // 0 = rest
    int eighths;
};

// Melody, section by section (8 bars of 8 eighths each).
const std::vector<Step> kVerse{
    {76, 2}, {79, 2}, {84, 2}, {79, 2}, {81, 3}, {79, 1}, {77, 2}, {81, 2}, {79, 1}, {77, 1}, {76, 1},
    {74, 1}, {71, 2}, {74, 2}, {72, 6}, {0, 2},  {76, 2}, {81, 2}, {84, 2}, {81, 2}, {84, 3}, {81, 1},
    {77, 2}, {81, 2}, {79, 2}, {77, 1}, {76, 1}, {74, 2}, {79, 2}, {72, 2}, {76, 2}, {72, 4}};
const std::vector<Step> kCharge{
    {67, 1}, {72, 1}, {76, 1}, {79, 5}, {76, 2}, {79, 2}, {76, 2}, {72, 2}, {69, 1}, {72, 1}, {77, 1},
    {81, 5}, {77, 2}, {81, 2}, {77, 2}, {72, 2}, {67, 1}, {71, 1}, {74, 1}, {79, 1}, {83, 4}, {81, 2},
    {79, 2}, {77, 2}, {74, 2}, {78, 2}, {81, 2}, {86, 2}, {84, 2}, {83, 2}, {81, 2}, {79, 2}, {77, 2}};
const std::vector<Step> kVerseEnd{
    {76, 2}, {79, 2}, {84, 2}, {79, 2}, {81, 3}, {79, 1}, {77, 2}, {81, 2}, {79, 1}, {77, 1}, {76, 1},
    {74, 1}, {71, 2}, {74, 2}, {72, 6}, {0, 2},  {76, 2}, {81, 2}, {84, 2}, {81, 2}, {84, 3}, {81, 1},
    {77, 2}, {81, 2}, {79, 2}, {81, 1}, {83, 1}, {84, 2}, {86, 2}, {84, 6}, {0, 2}};
const std::vector<Step> kChant{
    {72, 1}, {72, 1}, {0, 1},  {72, 1}, {0, 1},  {76, 1}, {79, 2}, {79, 1}, {79, 1}, {0, 1},  {79, 1},
    {0, 1},  {76, 1}, {84, 2}, {81, 1}, {81, 1}, {0, 1},  {81, 1}, {0, 1},  {79, 1}, {77, 2}, {79, 2},
    {0, 2},  {74, 2}, {79, 2}, {72, 1}, {73, 1}, {74, 1}, {75, 1}, {76, 1}, {77, 1}, {78, 1}, {79, 1},
    {81, 2}, {76, 2}, {81, 2}, {84, 2}, {86, 3}, {84, 1}, {83, 2}, {81, 2}, {79, 2}, {74, 1}, {71, 1},
    {67, 2}, {0, 2}};

struct ChordName {
    int root;     // midi of the root in the bass octave
    int third, fifth, seventh;  // semitones above the root; seventh 0 = none
};
const ChordName C{36, 4, 7, 0}, F{41, 4, 7, 0}, G{43, 4, 7, 0}, G7{43, 4, 7, 10}, Am{45, 3, 7, 0},
    D7{38, 4, 7, 10}, Dm7{38, 3, 7, 10};

// Two chords per bar (first and second half).
const ChordName kHarmony[kBars][2] = {
    {C, C},  {F, F},  {G, G},  {C, C},  {Am, Am}, {F, F}, {G7, G7}, {C, C},     // verse
    {C, C},  {C, C},  {F, F},  {F, F},  {G, G},   {G, G}, {D7, D7}, {G7, G7},   // charge
    {C, C},  {F, F},  {G, G},  {C, C},  {Am, Am}, {F, F}, {G7, G7}, {C, C},     // verse
    {C, C},  {C, C},  {F, F},  {G, G},  {C, C},   {Am, Am}, {Dm7, G7}, {G7, G7}};  // chant

std::vector<Note> score() {
    std::vector<Note> notes;
    float at = 0;
    for (const auto* part : {&kVerse, &kCharge, &kVerseEnd, &kChant})
        for (const Step& s : *part) {
            if (s.midi) notes.push_back({at, s.eighths * 0.92f, s.midi, Lead, 1.0f});
            at += s.eighths;
        }
    for (int bar = 0; bar < kBars; ++bar) {
        const float b0 = bar * 8.0f;
        for (int half = 0; half < 2; ++half) {
            const ChordName& ch = kHarmony[bar][half];
            const float h0 = b0 + half * 4;
            const bool last = bar == kBars - 1 && half == 1;
            // Oom: the bass on beats one and three, the fifth on beat three of a held chord.
            const int bassNote = (half == 1 && kHarmony[bar][0].root == ch.root) ? ch.root + ch.fifth : ch.root;
            notes.push_back({h0, 1.6f, bassNote, Bass, 1.0f});
            if (last) continue;  // the final beat rests, ready to loop
            // Pah: the chord on beats two and four, voiced round middle C.
            std::vector<int> tones{ch.root + 24, ch.root + 24 + ch.third, ch.root + 24 + ch.fifth};
            if (ch.seventh) tones.push_back(ch.root + 24 + ch.seventh);
            for (int& t : tones)
                while (t > 67) t -= 12;
            for (int t : tones) notes.push_back({h0 + 2, 0.9f, t, Chord, 0.8f});
        }
    }
    return notes;
}

// One cycle of a drawbar registration: footages 16', 8', 5 1/3', 4', 2 2/3', 2', 1 3/5', 1 1/3', 1'.
// The table's cycle is the 16' pitch, so the 8' fundamental is harmonic 2.
std::vector<float> organTable(const float drawbars[9]) {
    const int harmonics[9] = {1, 2, 3, 4, 6, 8, 10, 12, 16};
    std::vector<float> table(4096);
    float peak = 0;
    for (size_t i = 0; i < table.size(); ++i) {
        float v = 0;
        for (int k = 0; k < 9; ++k) v += drawbars[k] * std::sin(kTau * harmonics[k] * i / table.size());
        table[i] = v;
        peak = std::max(peak, std::fabs(v));
    }
    for (float& v : table) v /= peak;
    return table;
}

float lookup(const std::vector<float>& t, double phase) {
    const double p = phase * t.size();
    const size_t i = static_cast<size_t>(p) % t.size();
    const float f = static_cast<float>(p - std::floor(p));
    return t[i] + (t[(i + 1) % t.size()] - t[i]) * f;
}

Samples render() {
    const float leadBars[9] = {0.35f, 1.0f, 0.65f, 0.55f, 0.2f, 0.35f, 0.0f, 0.1f, 0.3f};
    const float chordBars[9] = {0.3f, 1.0f, 0.35f, 0.45f, 0.0f, 0.15f, 0.0f, 0.0f, 0.0f};
    const float bassBars[9] = {1.0f, 0.8f, 0.25f, 0.1f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    const std::vector<float> tables[3] = {organTable(leadBars), organTable(chordBars), organTable(bassBars)};
    const float levels[3] = {0.42f, 0.16f, 0.42f};

    Samples dry(kLoop, 0.0f), bass(kLoop, 0.0f);
    for (const Note& n : score()) {
        const int at = seconds(n.start * kEighth), len = seconds(n.length * kEighth);
        const int attack = seconds(0.006f), release = seconds(0.04f);
        const double hz = midiHz(static_cast<float>(n.midi)) * 0.5;  // the table's cycle is the 16' pitch
        const std::vector<float>& table = tables[n.voice];
        double phase = 0;
        Samples& dst = n.voice == Bass ? bass : dry;
        for (int i = 0; i < len + release; ++i) {
            float env = std::min(1.0f, float(i) / attack);
            if (i > len) env *= 1.0f - float(i - len) / release;
            float v = lookup(table, phase);
            // Percussion on the lead: a 4' partial that dies away, the organ's "ping".
            if (n.voice == Lead) v += 0.35f * std::exp(-i / (0.18f * kRate)) * float(std::sin(kTau * 4 * phase));
            dst[(at + i) % kLoop] += v * env * levels[n.voice] * n.level;
            phase += hz / kRate;
            if (phase >= 1.0) phase -= 1.0;
        }
    }

    // Claps on two and four through the chant.
    Rng rng(77);
    Samples claps(kLoop, 0.0f);
    for (int bar = 24; bar < kBars; ++bar)
        for (int beat : {2, 6}) {
            if (bar == kBars - 1 && beat == 6) continue;
            const int at = seconds((bar * 8 + beat) * kEighth);
            Svf f;
            for (int i = 0; i < seconds(0.12f); ++i) {
                const float t = float(i) / kRate;
                // Several hands a few milliseconds apart.
                float env = 0;
                for (int k = 0; k < 3; ++k) {
                    const float tk = t - k * 0.009f;
                    if (tk >= 0) env += std::exp(-tk / (k == 2 ? 0.05f : 0.012f));
                }
                claps[(at + i) % kLoop] += f.run(rng.signedUnit(), 1300, 1.2f).band * env * 0.22f;
            }
        }

    // Rotary speaker: tremolo and a wobbling delay, at a rate that fits the loop exactly.
    const float rotor = 416.0f / 64.0f;  // 6.5 Hz, 416 turns per loop
    Samples mix(kLoop, 0.0f);
    const int base = seconds(0.004f);
    for (int i = 0; i < kLoop; ++i) {
        const float ph = kTau * rotor * i / kRate;
        const float delay = base + seconds(0.0006f) * std::sin(ph);
        const float pos = i - delay;
        const int j = static_cast<int>(std::floor(pos));
        const float f = pos - j;
        auto at = [&](int k) { return dry[((k % kLoop) + kLoop) % kLoop]; };
        const float wobble = at(j) + (at(j + 1) - at(j)) * f;
        mix[i] = (0.6f * dry[i] + 0.5f * wobble) * (0.88f + 0.12f * std::sin(ph)) + bass[i] + claps[i];
    }

    // Arena room, run twice round the loop so its tail at the end feeds the start.
    Room room(1.3f, 0.8f, 0.4f);
    Samples out(kLoop);
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < kLoop; ++i) {
            const float wet = room.run(mix[i]);
            if (pass == 1) out[i] = mix[i] * 0.8f + wet * 0.35f;
        }
    normalise(out, 0.9f);
    return out;
}

std::vector<uint8_t> encodeMp3(const Samples& s, std::string* error) {
    std::vector<int16_t> pcm = toPcm16(s);
    lame_t lame = lame_init();
    if (!lame) {
        *error = "cannot start the MP3 encoder";
        return {};
    }
    lame_set_in_samplerate(lame, kRate);
    lame_set_out_samplerate(lame, kRate);
    lame_set_num_channels(lame, 1);
    lame_set_mode(lame, MONO);
    lame_set_VBR(lame, vbr_off);
    lame_set_brate(lame, 96);
    lame_set_quality(lame, 3);
    lame_set_bWriteVbrTag(lame, 1);  // the info frame tells players the encoder delay
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        *error = "the MP3 encoder refused its settings";
        return {};
    }
    std::vector<uint8_t> out;
    const int chunk = 1152 * 64;
    std::vector<unsigned char> buf(chunk * 5 / 4 + 7200);
    for (size_t at = 0; at < pcm.size(); at += chunk) {
        const int n = static_cast<int>(std::min<size_t>(chunk, pcm.size() - at));
        // Mono: the one channel is passed as both; the encoder reads only the first.
        const int got = lame_encode_buffer(lame, pcm.data() + at, pcm.data() + at, n, buf.data(),
                                           static_cast<int>(buf.size()));
        if (got < 0) {
            lame_close(lame);
            *error = "MP3 encoding failed";
            return {};
        }
        out.insert(out.end(), buf.begin(), buf.begin() + got);
    }
    const int tail = lame_encode_flush(lame, buf.data(), static_cast<int>(buf.size()));
    if (tail > 0) out.insert(out.end(), buf.begin(), buf.begin() + tail);
    unsigned char tag[4096];
    const size_t tagSize = lame_get_lametag_frame(lame, tag, sizeof tag);
    if (tagSize > 0 && tagSize <= out.size()) std::memcpy(out.data(), tag, tagSize);
    lame_close(lame);
    return out;
}

}  // namespace

void writeMusic(Output& out) {
    std::string error;
    const std::vector<uint8_t> mp3 = encodeMp3(render(), &error);
    if (mp3.empty()) {
        out.fail("tune.mp3: " + error);
        return;
    }
    out.write("tune.mp3", mp3);
}
