// The six effects: stick click, board knock, body bump, goal horn, two fanfares.
#include <algorithm>
#include <vector>

#include "assetgen.h"
#include "output.h"
#include "rng.h"
#include "synth.h"

namespace {

// Bright, short click of a blade on the puck: a noise tick and hard wooden ringing.
Samples stickClick() {
    Samples s(seconds(0.14f), 0.0f);
    Rng rng(2);
    OnePole hp;
    for (int i = 0; i < seconds(0.004f); ++i) s[i] += hp.high(rng.signedUnit(), 2500) * (1 - i / float(seconds(0.004f)));
    addMode(s, 0, 1870, 0.55f, 0.018f);
    addMode(s, 0, 3120, 0.35f, 0.010f, 1.0f);
    addMode(s, 0, 840, 0.30f, 0.030f, 0.5f);
    addMode(s, 0, 190, 0.25f, 0.025f);
    return s;
}

// Hollow knock of the puck on the boards: low body modes that ring a little.
Samples boardKnock() {
    Samples s(seconds(0.42f), 0.0f);
    Rng rng(3);
    OnePole lp;
    const int burst = seconds(0.012f);
    for (int i = 0; i < burst; ++i) s[i] += lp.low(rng.signedUnit(), 1800) * 0.9f * (1 - float(i) / burst);
    // The fundamental sags a little as the panel settles.
    float phase = 0;
    for (int i = 0; i < static_cast<int>(s.size()); ++i) {
        const float t = float(i) / kRate;
        phase += kTau * (150 - 18 * std::min(t / 0.1f, 1.0f)) / kRate;
        s[i] += 0.7f * std::exp(-t / 0.11f) * std::sin(phase);
    }
    addMode(s, 0, 318, 0.45f, 0.08f, 0.7f);
    addMode(s, 0, 541, 0.30f, 0.05f, 1.3f);
    addMode(s, 0, 1163, 0.15f, 0.022f);
    return s;
}

// Duller bump of the puck on a figure: muffled noise and a soft thud.
Samples bodyBump() {
    Samples s(seconds(0.22f), 0.0f);
    Rng rng(4);
    Svf f;
    for (int i = 0; i < static_cast<int>(s.size()); ++i) {
        const float t = float(i) / kRate;
        s[i] += f.run(rng.signedUnit(), 700, 0.8f).low * std::exp(-t / 0.03f) * 1.6f;
    }
    addMode(s, 0, 98, 0.8f, 0.06f);
    addMode(s, 0, 232, 0.35f, 0.035f, 0.4f);
    return s;
}

// A brass-like voice: two slightly detuned saws through a filter that opens on the attack.
struct Brass {
    float note, start, length, level = 1.0f;
};

void renderBrass(Samples& out, const std::vector<Brass>& notes, float brightness) {
    for (size_t n = 0; n < notes.size(); ++n) {
        const Brass& b = notes[n];
        Saw a, c;
        c.setPhase(0.37f);
        Svf filter;
        const float hz = midiHz(b.note);
        const int at = seconds(b.start), len = seconds(b.length), release = seconds(0.09f);
        for (int i = 0; i < len + release && at + i < static_cast<int>(out.size()); ++i) {
            const float t = float(i) / kRate;
            float env = std::min(1.0f, t / 0.025f);
            if (i > len) env *= 1.0f - float(i - len) / release;
            const float vib = 1.0f + 0.004f * std::sin(kTau * 5.2f * t) * std::min(1.0f, t / 0.25f);
            const float x = a.next(hz * vib * 1.002f) + c.next(hz * vib * 0.998f);
            const float cutoff = hz * (1.5f + brightness * std::min(1.0f, t / 0.06f) * (0.85f + 0.15f * env));
            out[at + i] += filter.run(x, cutoff, 0.9f).low * env * b.level * 0.3f;
        }
    }
}

void addRoom(Samples& s, float wet) {
    Room room(1.15f, 0.82f, 0.35f);
    for (float& v : s) v = v * (1 - wet) + room.run(v) * wet * 1.6f;
}

// The room's tail is cut at the end of the file; a short fade keeps that from clicking.
void fadeOut(Samples& s, float secs) {
    const int n = std::min(static_cast<int>(s.size()), seconds(secs));
    for (int i = 0; i < n; ++i) s[s.size() - 1 - i] *= float(i) / n;
}

// Arena goal horn: a low, reedy chord held for about a second and a half.
Samples goalHorn() {
    Samples s(seconds(1.55f), 0.0f);
    const float chord[4] = {41, 53, 57, 60};  // F2, F3, A3, C4
    for (int v = 0; v < 4; ++v) {
        Saw a, b;
        b.setPhase(0.5f);
        Svf f;
        const float hz = midiHz(chord[v]);
        for (int i = 0; i < static_cast<int>(s.size()); ++i) {
            const float t = float(i) / kRate;
            float env = std::min(1.0f, t / 0.07f);
            if (t > 1.3f) env *= std::max(0.0f, 1.0f - (t - 1.3f) / 0.22f);
            const float vib = 1.0f + 0.003f * std::sin(kTau * 4.8f * t + v);
            const float x = a.next(hz * vib * 1.003f) + b.next(hz * vib * 0.997f);
            s[i] += f.run(x, 900 + 500 * env, 1.4f).low * env * 0.35f;
        }
    }
    addRoom(s, 0.25f);
    fadeOut(s, 0.08f);
    return s;
}

// Short fanfare after a goal.
Samples fanfare() {
    Samples s(seconds(2.25f), 0.0f);
    const float e = 0.13f;
    std::vector<Brass> notes{{67, 0, e * 0.8f}, {72, e, e * 0.8f}, {76, 2 * e, e * 0.8f}, {79, 3 * e, 0.42f},
                             {76, 3 * e + 0.45f, 0.14f}, {79, 3 * e + 0.62f, 0.95f, 1.1f}};
    // Low brass under the last two notes.
    for (float n : {48.0f, 55.0f, 60.0f, 64.0f}) notes.push_back({n, 3 * e + 0.62f, 0.95f, 0.55f});
    renderBrass(s, notes, 5.0f);
    addRoom(s, 0.22f);
    fadeOut(s, 0.2f);
    return s;
}

// Victory fanfare: a rising call, an answer, and a long final chord over a timpani roll.
Samples victoryFanfare() {
    Samples s(seconds(4.1f), 0.0f);
    const float e = 0.15f;
    std::vector<Brass> notes{{67, 0, e * 0.8f},          {72, e, e * 0.8f},         {76, 2 * e, e * 0.8f},
                             {79, 3 * e, 0.5f},          {77, 3 * e + 0.55f, 0.14f}, {76, 3 * e + 0.72f, 0.14f},
                             {74, 3 * e + 0.89f, 0.14f}, {76, 3 * e + 1.06f, 0.3f},  {72, 3 * e + 1.4f, 0.3f},
                             {79, 2.3f, 1.45f, 1.15f},   {84, 2.3f, 1.45f, 0.8f}};
    for (float n : {48.0f, 55.0f, 60.0f, 64.0f}) notes.push_back({n, 2.3f, 1.45f, 0.5f});
    for (float n : {43.0f, 50.0f, 55.0f, 59.0f}) notes.push_back({n, 1.45f, 0.75f, 0.4f});
    renderBrass(s, notes, 5.5f);
    // Timpani roll growing into the last chord, then one hit.
    Rng rng(9);
    for (float t = 1.6f; t < 2.25f; t += 0.045f)
        addMode(s, seconds(t), 65.4f + rng.range(-1, 1), 0.08f + 0.25f * (t - 1.6f), 0.18f, rng.range(0, 6));
    addMode(s, seconds(2.3f), 65.4f, 0.9f, 0.45f);
    addMode(s, seconds(2.3f), 98.0f, 0.4f, 0.3f);
    addRoom(s, 0.25f);
    fadeOut(s, 0.25f);
    return s;
}

}  // namespace

void writeSounds(Output& out) {
    out.write("sound2.wav", wavFile(stickClick()));
    out.write("sound3.wav", wavFile(boardKnock()));
    out.write("sound4.wav", wavFile(bodyBump(), 0.8f));
    out.write("sound5.wav", wavFile(goalHorn()));
    out.write("fanfaari.wav", wavFile(fanfare()));
    out.write("fanfaari2.wav", wavFile(victoryFanfare()));
}
