// Figures face -x (the figure frame's -u) with their right hand side towards +z.
// Skater: left skate planted on the round base, right leg stretched back so its skate
// ends on the small collision circle, stick held out to the left with the blade on the ice
// along the blade segment. Goalie: left pad out to the side on the pad circle, long
// blade in front to the left.
#include "figure_layout.h"
#include "meshes.h"

using namespace figure;
using Ring = MeshBuilder::Ring;

namespace {

struct Detail {
    int around;    // segments round the big parts
    int limb;      // segments round arms and legs
    bool fine;     // extra profile rings
};

Detail detailFor(bool high) { return high ? Detail{20, 10, true} : Detail{8, 5, false}; }

// The game lights the rink from one lamp high above it, so the sides of a figure turned
// from the lamp would stay nearly black. Tilting the normals upwards lets the top light
// reach them, as a soft sky light would; every normal still faces its faces' side.
Mesh withSkyLight(Mesh m) {
    for (MeshVertex& v : m.vertices) v.n = normalised(v.n + V3{0, 0.45f, 0});
    return m;
}

// A limb bent at a joint: shoulder -> elbow -> hand, with the joint pushed out by `bend`.
std::vector<V3> bentPath(V3 a, V3 b, V3 bend, bool fine) {
    const V3 mid = lerp(a, b, 0.5f) + bend;
    if (!fine) return {a, mid, b};
    return {a, lerp(a, mid, 0.5f) + bend * 0.15f, mid, lerp(mid, b, 0.5f) + bend * 0.15f, b};
}

std::vector<float> radiiFor(size_t n, float from, float to) {
    std::vector<float> r(n);
    for (size_t i = 0; i < n; ++i) r[i] = from + (to - from) * (n == 1 ? 0.0f : float(i) / (n - 1));
    return r;
}

// Round base the rod turns: the body's collision circle.
void addBase(MeshBuilder& b, const Detail& d) {
    std::vector<Ring> rings{{0.62f, 0, 0}, {0.62f, 1.6f, 1.6f}, {0.6f, 2.35f, 2.35f},
                            {0.5f, 2.6f, 2.6f}, {0.0f, 2.6f, 2.6f}};
    b.lathe(rings, d.around + 4, kBase.uv());
}

void addStick(MeshBuilder& b, const Detail& d, V3 butt, V3 heel, float bladeU, float bladeV0, float bladeV1) {
    // Shaft from the heel up to the butt end.
    const int n = d.fine ? 4 : 2;
    std::vector<V3> path;
    for (int i = 0; i <= n; ++i) path.push_back(lerp(heel, butt, float(i) / n));
    b.tube(path, radiiFor(path.size(), 0.2f, 0.24f), d.fine ? 8 : 4, kShaft.uv(), true);
    // Blade: a thin upright plate lying along the blade segment on the ice.
    const float len = (bladeV0 - bladeV1) * 0.5f;
    const V3 centre{bladeU, 0.45f, (bladeV0 + bladeV1) * 0.5f};
    b.box(centre, {0.14f, 0, 0}, {0, 0.45f, 0}, {0, 0, len}, kBlade.uv());
}

// Helmeted head over a short neck, looking towards -x.
void addHead(MeshBuilder& b, const Detail& d, V3 c, float r) {
    std::vector<Ring> rings;
    const int n = d.fine ? 12 : 5;
    // Texture rows by angle from the top pole, the same at every detail.
    for (int i = 0; i < n; ++i) {
        const float a = 3.1415927f * i / n;
        const float rr = r * std::sin(a), y = c.y + r * std::cos(a);
        rings.push_back({y, rr * 0.95f, rr, c.x, c.z, float(i) / n * kHeadChinV});
    }
    // Neck below the last head ring.
    rings.push_back({c.y - r * 1.05f, r * 0.48f, r * 0.5f, c.x + 0.1f, c.z, 0.92f});
    rings.push_back({c.y - r * 1.45f, r * 0.5f, r * 0.52f, c.x + 0.15f, c.z, 1.0f});
    b.lathe(rings, d.around, kHead.uv());
}

void addSkate(MeshBuilder& b, V3 heel, V3 toe, float halfWidth) {
    const V3 along = (toe - heel) * 0.5f;
    V3 side = normalised(cross(V3{0, 1, 0}, along)) * halfWidth;
    b.box(lerp(heel, toe, 0.5f) + V3{0, 0.3f, 0}, along, {0, 0.3f, 0}, side, kSkate.uv());
}

}  // namespace

Mesh buildSkater(bool high) {
    const Detail d = detailFor(high);
    MeshBuilder b;
    addBase(b, d);

    // Legs: left planted on the base, right stretched back to the small circle at (6.26, 3.2).
    const V3 leftHip{0.15f, 4.9f, -0.8f}, leftKnee{-0.75f, 2.9f, -1.05f}, leftAnkle{-0.35f, 1.15f, -1.05f};
    const V3 rightHip{0.35f, 4.9f, 0.8f}, rightKnee{2.6f, 3.1f, 1.75f}, rightAnkle{4.7f, 1.25f, 2.65f};
    auto leg = [&](V3 hip, V3 knee, V3 ankle) {
        std::vector<V3> path = d.fine ? std::vector<V3>{hip, lerp(hip, knee, 0.5f), knee, lerp(knee, ankle, 0.5f),
                                                        ankle}
                                      : std::vector<V3>{hip, knee, ankle};
        std::vector<float> radii = d.fine ? std::vector<float>{0.95f, 0.85f, 0.7f, 0.62f, 0.55f}
                                          : std::vector<float>{0.95f, 0.7f, 0.55f};
        b.tube(path, radii, d.limb, kLeg.uv(), true);
    };
    leg(leftHip, leftKnee, leftAnkle);
    leg(rightHip, rightKnee, rightAnkle);
    addSkate(b, {0.55f, 0.62f, -1.05f}, {-1.75f, 0.62f, -1.1f}, 0.4f);
    // The right skate rests on the ice; its heel end is the small circle.
    addSkate(b, {6.22f, 0.0f, 3.18f}, {4.1f, 0.35f, 2.45f}, 0.4f);

    // Hockey pants and jersey, leaning a little forward.
    std::vector<Ring> pants{{6.4f, 1.5f, 1.95f, 0.1f, 0}, {5.9f, 1.7f, 2.15f, 0.15f, 0},
                            {5.0f, 1.7f, 2.15f, 0.2f, 0}, {4.3f, 1.45f, 1.9f, 0.2f, 0},
                            {4.15f, 0.9f, 1.3f, 0.2f, 0}};
    pants = MeshBuilder::withProfileV(pants);
    if (!d.fine) pants = {pants[0], pants[2], pants[3]};
    b.lathe(pants, d.around, kPants.uv());
    std::vector<Ring> jersey{{9.55f, 0.0f, 0.0f, -0.25f, 0},  {9.55f, 0.75f, 0.9f, -0.25f, 0},
                             {9.35f, 1.35f, 1.85f, -0.22f, 0}, {8.9f, 1.7f, 2.4f, -0.18f, 0},
                             {8.1f, 1.75f, 2.45f, -0.1f, 0},   {7.2f, 1.65f, 2.25f, 0.0f, 0},
                             {6.5f, 1.5f, 2.0f, 0.08f, 0},     {6.1f, 1.5f, 1.95f, 0.1f, 0}};
    jersey = MeshBuilder::withProfileV(jersey);
    if (!d.fine) jersey = {jersey[0], jersey[2], jersey[4], jersey[6], jersey[7]};
    b.lathe(jersey, d.around, kJersey.uv());
    addHead(b, d, {-0.35f, 10.75f, 0}, 1.05f);

    // Stick held out to the left: blade along x = -1.16 from z = -5.44 to -13.0.
    const V3 heel{-1.16f, 0.35f, -5.44f}, butt{-2.45f, 7.6f, 0.75f};
    addStick(b, d, butt, heel, -1.16f, -5.44f, -13.0f);

    // Arms: right hand at the top of the shaft, left hand further down.
    const V3 topHand = lerp(heel, butt, 0.93f), lowHand = lerp(heel, butt, 0.6f);
    const V3 rightShoulder{-0.2f, 9.0f, 2.0f}, leftShoulder{-0.2f, 9.0f, -2.0f};
    auto arm = [&](V3 shoulder, V3 hand, V3 bend) {
        std::vector<V3> path = bentPath(shoulder, hand, bend, d.fine);
        b.tube(path, radiiFor(path.size(), 0.62f, 0.45f), d.limb, kSleeve.uv(), true);
        std::vector<Ring> glove;
        const int n = d.fine ? 6 : 3;
        for (int i = 0; i <= n; ++i) {
            const float a = 3.1415927f * i / n;
            glove.push_back({hand.y + 0.5f * std::cos(a), 0.5f * std::sin(a), 0.5f * std::sin(a), hand.x, hand.z});
        }
        b.lathe(glove, d.limb, kGlove.uv());
    };
    arm(rightShoulder, topHand, {0.4f, -0.9f, 0.9f});
    arm(leftShoulder, lowHand, {0.6f, -0.5f, -0.9f});
    return withSkyLight(b.take());
}

Mesh buildGoalie(bool high) {
    const Detail d = detailFor(high);
    MeshBuilder b;
    addBase(b, d);

    // Leg pads: the left one out on the pad circle (0, -3.78), the right one on the base.
    auto pad = [&](V3 foot, float rx, float rz, float top) {
        // Closed rounded top, straight sides down to the ice.
        std::vector<Ring> rings{{top + 0.25f, 0, 0, foot.x - 0.25f, foot.z}};
        const int n = d.fine ? 6 : 3;
        for (int i = 0; i <= n; ++i) {
            const float t = float(i) / n;
            const float y = top * (1 - t);
            const float round = (i == 0) ? 0.7f : (i == 1 && d.fine ? 0.95f : 1.0f);
            rings.push_back({y, rx * round, rz * round, foot.x - 0.25f * (1 - t), foot.z});
        }
        b.lathe(rings, d.around, kPad.uv());
    };
    pad({0.05f, 0, -3.78f}, 1.4f, 1.05f, 3.6f);
    pad({0.2f, 0, 1.25f}, 1.3f, 0.95f, 3.9f);
    const V3 leftHip{0.2f, 4.3f, -1.0f}, leftKnee{0.05f, 3.7f, -3.3f};
    const V3 rightHip{0.3f, 4.3f, 0.9f}, rightKnee{0.1f, 3.9f, 1.25f};
    b.tube({leftHip, leftKnee}, {0.95f, 0.8f}, d.limb, kLeg.uv(), true);
    b.tube({rightHip, rightKnee}, {0.95f, 0.8f}, d.limb, kLeg.uv(), true);

    std::vector<Ring> pants{{5.9f, 1.6f, 2.1f, 0.1f, 0}, {5.4f, 1.8f, 2.3f, 0.15f, 0},
                            {4.5f, 1.75f, 2.25f, 0.2f, 0}, {3.9f, 1.5f, 1.95f, 0.2f, 0},
                            {3.75f, 0.9f, 1.3f, 0.2f, 0}};
    pants = MeshBuilder::withProfileV(pants);
    if (!d.fine) pants = {pants[0], pants[2], pants[3]};
    b.lathe(pants, d.around, kPants.uv());
    std::vector<Ring> jersey{{8.75f, 0.0f, 0.0f, -0.35f, 0},  {8.75f, 0.8f, 1.0f, -0.35f, 0},
                             {8.55f, 1.5f, 2.0f, -0.32f, 0},  {8.1f, 1.9f, 2.5f, -0.28f, 0},
                             {7.3f, 1.95f, 2.5f, -0.2f, 0},   {6.5f, 1.8f, 2.35f, -0.05f, 0},
                             {5.95f, 1.6f, 2.1f, 0.05f, 0},   {5.6f, 1.6f, 2.05f, 0.1f, 0}};
    jersey = MeshBuilder::withProfileV(jersey);
    if (!d.fine) jersey = {jersey[0], jersey[2], jersey[4], jersey[6], jersey[7]};
    b.lathe(jersey, d.around, kJersey.uv());
    addHead(b, d, {-0.55f, 9.85f, 0}, 1.1f);

    // Long goalie blade along x = -2.97 from z = -2.34 to -9.81; shaft up to the blocker hand.
    const V3 heel{-2.97f, 0.35f, -2.34f}, butt{-2.55f, 5.6f, 0.7f};
    addStick(b, d, butt, heel, -2.97f, -2.34f, -9.81f);
    const V3 blockerHand = lerp(heel, butt, 0.85f);
    const V3 rightShoulder{-0.35f, 8.2f, 2.05f}, leftShoulder{-0.35f, 8.2f, -2.05f};
    const V3 catchHand{-2.3f, 5.4f, -2.55f};
    auto arm = [&](V3 shoulder, V3 hand, V3 bend) {
        std::vector<V3> path = bentPath(shoulder, hand, bend, d.fine);
        b.tube(path, radiiFor(path.size(), 0.68f, 0.5f), d.limb, kSleeve.uv(), true);
    };
    arm(rightShoulder, blockerHand, {0.5f, -0.6f, 0.9f});
    arm(leftShoulder, catchHand, {0.6f, -0.6f, -0.5f});
    // Blocker: a flat board on the stick hand; catching glove: a round mitt.
    b.box(blockerHand + V3{0, 0.4f, 0.25f}, {0.2f, 0, 0}, {0, 0.85f, 0}, {0, 0, 0.6f}, kGear.uv());
    std::vector<Ring> mitt;
    const int n = d.fine ? 7 : 3;
    for (int i = 0; i <= n; ++i) {
        const float a = 3.1415927f * i / n;
        mitt.push_back({catchHand.y + 0.85f * std::cos(a), 0.75f * std::sin(a), 0.9f * std::sin(a), catchHand.x,
                        catchHand.z});
    }
    b.lathe(mitt, d.around / 2 + 2, kGear.uv());
    return withSkyLight(b.take());
}
