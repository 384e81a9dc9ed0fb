// The red frame, checked pixel by pixel against a literal one-pixel-at-a-time
// rendering of the same procedure, on the simulated desktop.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

#include "capture/outline.h"
#include "platform/sim/sim_platform.h"

namespace wl::capture {
namespace {

constexpr Colour kRed = rgb(255, 0, 0);

// Distinct per pixel for windows up to 256 x 256, and never red.
Colour pattern(int x, int y) {
    return rgb(static_cast<unsigned>(x), static_cast<unsigned>(y), 0x40);
}

// A window's pixels as the per-pixel procedure sees them: reads outside give
// the invalid colour, writes outside are dropped.
struct Grid {
    int width = 0;
    int height = 0;
    std::vector<Colour> px;
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    Colour get(int x, int y) const {
        return inside(x, y) ? px[static_cast<std::size_t>(y * width + x)] : kInvalidColour;
    }
    void set(int x, int y, Colour c) {
        if (inside(x, y)) {
            px[static_cast<std::size_t>(y * width + x)] = c;
        }
    }
};

Grid snapshot(const sim::SimDesktop& d, Hwnd h, const Rect& rect) {
    Grid g;
    g.width = rect.right - rect.left;
    g.height = rect.bottom - rect.top;
    for (int y = 0; y < g.height; ++y) {
        for (int x = 0; x < g.width; ++x) {
            g.px.push_back(d.pixel(h, x, y));
        }
    }
    return g;
}

// The procedure one pixel call at a time, as the frame was first described;
// only the clamp to 16-bit loop limits is added.
struct Reference {
    Rect rect;
    EdgeColours saved;

    static int nearest(double v) { return static_cast<int>(std::nearbyint(v)); }
    void size(long long& w, long long& h) const {
        h = std::llabs(std::llabs(rect.bottom) - std::llabs(rect.top));
        w = std::llabs(static_cast<long long>(rect.right) - rect.left);
        h = std::min(h, 32768LL);
        w = std::min(w, 32767LL);
    }
    void draw(Grid& g, std::optional<Rect> now) {
        if (now) {
            rect = *now;
        }
        long long lw = 0, lh = 0;
        size(lw, lh);
        const int W = static_cast<int>(lw), H = static_cast<int>(lh);
        saved.left = g.get(0, nearest(H / 2.0));
        for (int y = 0; y <= H - 1; ++y)
            g.set(0, y, kRed);
        saved.bottom = g.get(nearest(W / 2.0), H - 1);
        for (int x = 0; x <= W; ++x)
            g.set(x, H - 1, kRed);
        saved.right = g.get(W - 1, nearest((H - 1) - H / 2.0));
        for (int y = H - 1; y >= 1; --y)
            g.set(W - 1, y, kRed);
        saved.top = g.get(nearest((W - 1) - W / 2.0), 0);
        for (int x = W - 1; x >= 0; --x)
            g.set(x, 0, kRed);
    }
    void remove(Grid& g, std::optional<Rect> now) {
        if (now) {
            rect = *now;
        }
        long long lw = 0, lh = 0;
        size(lw, lh);
        const int W = static_cast<int>(lw), H = static_cast<int>(lh);
        for (int y = 0; y <= H - 1; ++y)
            g.set(0, y, saved.left);
        for (int x = 0; x <= W; ++x)
            g.set(x, H - 1, saved.bottom);
        for (int y = H - 1; y >= 0; --y)
            g.set(W - 1, y, saved.right);
        for (int x = W - 2; x >= -1; --x)
            g.set(x, 0, saved.top);
    }
};

}  // namespace

std::ostream& operator<<(std::ostream& os, const EdgeColours& c) {
    return os << std::hex << "{left " << c.left << ", top " << c.top << ", right " << c.right
              << ", bottom " << c.bottom << "}" << std::dec;
}

namespace {

class OutlineTest : public ::testing::Test {
  protected:
    Hwnd add_patterned(Rect rect) {
        const Hwnd h = d.add_window("Patterned", "patterned", rect);
        for (int y = 0; y < rect.bottom - rect.top; ++y) {
            for (int x = 0; x < rect.right - rect.left; ++x) {
                d.set_pixel_direct(h, x, y, pattern(x, y));
            }
        }
        return h;
    }

    // Runs one operation on the simulated window and the reference on a
    // snapshot of it, then compares every pixel, the samples, the surface and
    // the number of fills.
    void run_and_compare(Hwnd h, bool drawing, int expected_fills) {
        const bool alive = d.exists(h);
        Rect now{};
        if (alive) {
            now = d.window(h).rect;
        }
        Grid expected = alive ? snapshot(d, h, now) : Grid{};
        const auto reference_rect = alive ? std::optional<Rect>(now) : std::nullopt;
        drawing ? ref.draw(expected, reference_rect) : ref.remove(expected, reference_rect);

        const int fills_before = d.fill_calls();
        const int taken_before = d.surfaces_taken();
        drawing ? outline.draw_outline(h) : outline.remove_outline(h);

        EXPECT_EQ(d.fill_calls() - fills_before, expected_fills) << "one fill per painted edge";
        EXPECT_EQ(d.surfaces_taken() - taken_before, 1);
        EXPECT_EQ(d.surfaces_open(), 0);
        EXPECT_EQ(outline.saved_edge_colours, ref.saved);
        if (!alive) {
            return;
        }
        int mismatches = 0;
        for (int y = 0; y < expected.height; ++y) {
            for (int x = 0; x < expected.width; ++x) {
                if (d.pixel(h, x, y) != expected.get(x, y) && ++mismatches <= 5) {
                    ADD_FAILURE() << (drawing ? "draw" : "remove") << ": pixel (" << x << ", " << y
                                  << ") is " << std::hex << d.pixel(h, x, y) << ", expected "
                                  << expected.get(x, y);
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
    }

    sim::SimWorld world{::testing::TempDir()};
    sim::SimDesktop& d = world.desktop;
    Outline outline{d};
    Reference ref;
};

struct FrameCase {
    const char* name;
    friend void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.name; }
    Rect rect;
    int draw_fills;  // edges with at least one index
    int remove_fills;
};

class OutlineFrameTest : public OutlineTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(OutlineFrameTest, DrawAndRemoveMatchThePixelByPixelProcedure) {
    const FrameCase& c = GetParam();
    Hwnd h = add_patterned(c.rect);
    run_and_compare(h, true, c.draw_fills);
    EXPECT_EQ(outline.outlined_window, h);
    run_and_compare(h, false, c.remove_fills);
    EXPECT_EQ(outline.outlined_window, h) << "removal keeps the framed window";
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, OutlineFrameTest,
    ::testing::Values(FrameCase{"w100h50", {10, 20, 110, 70}, 4, 4},
                      FrameCase{"w7h5", {300, 300, 307, 305}, 4, 4},
                      FrameCase{"w2h2", {300, 400, 302, 402}, 4, 4},
                      FrameCase{"w1h30", {400, 100, 401, 130}, 4, 4},
                      // H = 1: the right edge (y from 0 down to 1) has no index.
                      FrameCase{"w40h1", {400, 200, 440, 201}, 3, 4},
                      // W = 0: nothing to sample or paint inside; the top edge
                      // has no index either way.
                      FrameCase{"w0h30", {600, 10, 600, 40}, 3, 3},
                      // H = | |100| - |-20| | = 80 for a window 120 high.
                      FrameCase{"negative_top", {500, -20, 550, 100}, 4, 4},
                      // Beyond the 16-bit loop counters: the frame is clamped.
                      FrameCase{"wider_than_16_bits", {0, 3000, 40000, 3003}, 4, 4},
                      FrameCase{"taller_than_16_bits", {3000, 0, 3002, 40000}, 4, 4}),
    [](const ::testing::TestParamInfo<FrameCase>& info) { return std::string(info.param.name); });

struct SampleCase {
    const char* name;
    friend void PrintTo(const SampleCase& c, std::ostream* os) { *os << c.name; }
    Rect rect;
    Point left, bottom, right, top;  // where each edge's colour is taken
};

class OutlineSampleTest : public OutlineTest, public ::testing::WithParamInterface<SampleCase> {};

TEST_P(OutlineSampleTest, SamplesEachEdgeAtItsMiddleRoundingHalvesToEven) {
    const SampleCase& c = GetParam();
    Hwnd h = add_patterned(c.rect);
    outline.draw_outline(h);
    EXPECT_EQ(outline.saved_edge_colours.left, pattern(c.left.x, c.left.y));
    EXPECT_EQ(outline.saved_edge_colours.bottom, pattern(c.bottom.x, c.bottom.y));
    EXPECT_EQ(outline.saved_edge_colours.right, pattern(c.right.x, c.right.y));
    EXPECT_EQ(outline.saved_edge_colours.top, pattern(c.top.x, c.top.y));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, OutlineSampleTest,
    ::testing::Values(
        SampleCase{"w100h50", {10, 20, 110, 70}, {0, 25}, {50, 49}, {99, 24}, {49, 0}},
        SampleCase{"w7h5", {300, 300, 307, 305}, {0, 2}, {4, 4}, {6, 2}, {2, 0}}),
    [](const ::testing::TestParamInfo<SampleCase>& info) { return std::string(info.param.name); });

TEST_F(OutlineTest, FrameOf100By50CoversItsOuterEdgeAndRemovalLeavesFlatEdges) {
    Hwnd h = add_patterned({10, 20, 110, 70});
    outline.draw_outline(h);
    for (int y = 0; y < 50; ++y) {
        EXPECT_EQ(d.pixel(h, 0, y), kRed);
        EXPECT_EQ(d.pixel(h, 99, y), kRed);
    }
    for (int x = 0; x < 100; ++x) {
        EXPECT_EQ(d.pixel(h, x, 0), kRed);
        EXPECT_EQ(d.pixel(h, x, 49), kRed);
    }
    EXPECT_EQ(d.pixel(h, 1, 1), pattern(1, 1)) << "the interior is untouched";

    outline.remove_outline(h);
    const EdgeColours& s = outline.saved_edge_colours;
    EXPECT_EQ(d.pixel(h, 0, 0), s.top);
    EXPECT_EQ(d.pixel(h, 99, 0), s.right);
    EXPECT_EQ(d.pixel(h, 99, 49), s.right);
    EXPECT_EQ(d.pixel(h, 0, 49), s.bottom);
    EXPECT_EQ(d.pixel(h, 0, 10), s.left);
    EXPECT_EQ(d.pixel(h, 30, 0), s.top);
}

TEST_F(OutlineTest, OnePixelWideWindowSamplesItsOwnRedColumnAndStaysRed) {
    Hwnd h = add_patterned({400, 100, 401, 130});
    outline.draw_outline(h);
    EXPECT_EQ(outline.saved_edge_colours.left, pattern(0, 15));
    EXPECT_EQ(outline.saved_edge_colours.bottom, kRed);
    EXPECT_EQ(outline.saved_edge_colours.right, kRed);
    EXPECT_EQ(outline.saved_edge_colours.top, kRed);
    outline.remove_outline(h);
    for (int y = 0; y < 30; ++y) {
        EXPECT_EQ(d.pixel(h, 0, y), kRed) << y;
    }
}

TEST_F(OutlineTest, RemovalAfterResizeRepaintsTheNewEdgesWithTheOldSamples) {
    Hwnd h = add_patterned({10, 20, 110, 70});
    run_and_compare(h, true, 4);
    d.move_window(h, Rect{30, 40, 90, 120});
    run_and_compare(h, false, 4);
    EXPECT_EQ(outline.outline_rect.right, 90);
}

TEST_F(OutlineTest, VanishedWindowKeepsTheOldRectangleAndPaintsNothing) {
    Hwnd framed = add_patterned({10, 20, 110, 70});
    Hwnd gone = d.add_window("Patterned", "gone", {700, 20, 760, 70});
    run_and_compare(framed, true, 4);
    d.destroy_window(framed);
    // A window now in the same place must not receive the frame.
    Hwnd below = add_patterned({10, 20, 110, 70});
    const Rect before = outline.outline_rect;

    run_and_compare(framed, false, 4);
    d.destroy_window(gone);
    run_and_compare(gone, true, 4);

    EXPECT_EQ(outline.outlined_window, gone);
    EXPECT_EQ(outline.outline_rect.left, before.left);
    EXPECT_EQ(outline.outline_rect.bottom, before.bottom);
    EXPECT_EQ(outline.saved_edge_colours.left, kInvalidColour);
    for (int x = 0; x < 100; ++x) {
        ASSERT_EQ(d.pixel(below, x, 0), pattern(x, 0));
    }
}

TEST_F(OutlineTest, ExtremeRectanglesNeitherOverflowNorExceedTheLoopLimits) {
    Hwnd gone = d.add_window("Patterned", "gone", {0, 0, 10, 10});
    d.destroy_window(gone);
    for (const Rect& r : {Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                          Rect{INT_MIN, 0, INT_MAX, INT_MIN}, Rect{0, 0, 100000, 100000}}) {
        outline.outline_rect = r;
        outline.draw_outline(gone);
        outline.remove_outline(gone);
        EXPECT_EQ(d.surfaces_open(), 0);
    }
}

struct SizeCase {
    Rect rect;
    int width;
    int height;
};

TEST(OutlineFrameSize, HeightFromAbsoluteValuesWidthFromDifferenceBothClamped) {
    const SizeCase cases[] = {
        {{10, 20, 110, 70}, 100, 50},         {{0, -20, 50, 100}, 50, 80},
        {{-100, -50, 0, 0}, 100, 50},         {{110, 70, 10, 20}, 100, 50},
        {{0, 0, 40000, 50000}, 32767, 32768}, {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 32767, 1},
        {{0, 0, 5, INT_MIN}, 5, 32768},
    };
    for (const SizeCase& c : cases) {
        const FrameSize s = frame_size(c.rect);
        EXPECT_EQ(s.width, c.width)
            << c.rect.left << "," << c.rect.top << "," << c.rect.right << "," << c.rect.bottom;
        EXPECT_EQ(s.height, c.height)
            << c.rect.left << "," << c.rect.top << "," << c.rect.right << "," << c.rect.bottom;
    }
}

}  // namespace
}  // namespace wl::capture
