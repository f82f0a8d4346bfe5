// Pixel surfaces: locking, presenting 1:1 into a window, loss and restore.
#include "platform/portable/surface_testing.h"
#include "platform/surface.h"
#include "window_fixture.h"

namespace {

class Surfaces : public WindowTest {
protected:
    WindowHandle main = nullptr;
    WindowHandle view = nullptr;
    WindowHandle neighbour = nullptr;
    DrawDevice* device = nullptr;
    DrawSurface* primary = nullptr;
    DrawSurface* back = nullptr;

    void SetUp() override
    {
        WindowTest::SetUp();
        main = make_main(120, 100);
        view = make_child(main, {10, 10, 60, 40}, 2);
        neighbour = make_child(main, {60, 10, 80, 40}, 0);
        ASSERT_EQ(create_draw_device(&device), status_ok);
        ASSERT_EQ(set_cooperative_level(device, view), status_ok);
        ASSERT_EQ(create_primary_surface(device, &primary), status_ok);
        ASSERT_EQ(create_offscreen_surface(device, 64, 48, &back), status_ok);
        DrawClipper* clipper = nullptr;
        ASSERT_EQ(create_clipper(device, &clipper), status_ok);
        ASSERT_EQ(clipper_set_window(clipper, view), status_ok);
        ASSERT_EQ(set_clipper(primary, clipper), status_ok);
        release_clipper(clipper);  // the primary keeps its own reference
    }
    void TearDown() override
    {
        release_surface(back);
        release_surface(primary);
        release_device(device);
        WindowTest::TearDown();
    }
    // Each back-surface pixel names its own position.
    void fill_back()
    {
        LockedPixels locked;
        ASSERT_EQ(lock_surface(back, locked), status_ok);
        for (std::uint32_t y = 0; y < locked.height; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(locked.pixels) +
                                                         static_cast<std::ptrdiff_t>(y) * locked.pitch);
            for (std::uint32_t x = 0; x < locked.width; ++x)
                row[x] = 0x010000u | y << 8 | x;
        }
        ASSERT_EQ(unlock_surface(back), status_ok);
    }
    Status present()
    {
        const Rect screen = window_rect(view);
        return blit(primary, screen, back, {0, 0, rect_width(screen), rect_height(screen)});
    }
};

TEST_F(Surfaces, LockGivesTheSizeAndAPaddedPitchAndFailsWhenLockedOrTold)
{
    LockedPixels locked;
    ASSERT_EQ(lock_surface(back, locked), status_ok);
    EXPECT_EQ(locked.width, 64u);
    EXPECT_EQ(locked.height, 48u);
    EXPECT_GT(locked.pitch, 64 * 4);
    EXPECT_EQ(lock_surface(back, locked), status_fail);  // already locked
    EXPECT_EQ(unlock_surface(back), status_ok);
    EXPECT_EQ(unlock_surface(back), status_fail);

    fail_next_locks(back, 2);
    EXPECT_EQ(lock_surface(back, locked), status_fail);
    EXPECT_EQ(lock_surface(back, locked), status_fail);
    ASSERT_EQ(lock_surface(back, locked), status_ok);
    fail_next_unlock(back);
    EXPECT_EQ(unlock_surface(back), status_fail);
    EXPECT_EQ(lock_surface(back, locked), status_ok) << "a failed unlock still ends the lock";
    EXPECT_EQ(unlock_surface(back), status_ok);
}

TEST_F(Surfaces, PresentShowsTheTopLeftPartUnscaledInsideTheViewOnly)
{
    fill_back();
    ASSERT_EQ(present(), status_ok);
    EXPECT_EQ(pixel(10, 10), 0x010000u);                  // back (0, 0)
    EXPECT_EQ(pixel(59, 39), 0x010000u | 29 << 8 | 49);  // back (49, 29)
    EXPECT_EQ(pixel(60, 20), 0u);                        // the neighbour is untouched
    EXPECT_EQ(pixel(9, 20), 0u);
    EXPECT_EQ(test_host().changes.back(), (Rect{10, 10, 60, 40}));

    // A destination reaching over the neighbour is still cut at the view.
    const Rect r = window_rect(view);
    ASSERT_EQ(blit(primary, {r.left + 30, r.top, r.right + 30, r.bottom}, back, {0, 0, 50, 30}), status_ok);
    EXPECT_EQ(pixel(45, 20), 0x010000u | 10 << 8 | 5);
    EXPECT_EQ(pixel(65, 20), 0u);

    // Rectangles of different sizes, or reaching outside the source, are refused.
    EXPECT_EQ(blit(primary, {0, 0, 10, 10}, back, {0, 0, 10, 11}), status_fail);
    EXPECT_EQ(blit(primary, {0, 0, 70, 10}, back, {0, 0, 70, 10}), status_fail);
}

TEST_F(Surfaces, ALostSurfaceIsRestoredAndWorksAgain)
{
    fill_back();
    mark_surface_lost(back);
    LockedPixels locked;
    EXPECT_EQ(lock_surface(back, locked), status_surface_lost);
    EXPECT_EQ(present(), status_surface_lost);
    fail_next_restore(back);
    EXPECT_EQ(restore_surface(back), status_fail);
    EXPECT_EQ(restore_surface(back), status_ok);
    fill_back();
    EXPECT_EQ(present(), status_ok);
    EXPECT_EQ(pixel(11, 10), 0x010001u);

    lose_all_surfaces();
    EXPECT_EQ(present(), status_surface_lost);
    EXPECT_EQ(restore_surface(primary), status_ok);
    EXPECT_EQ(restore_surface(back), status_ok);
    EXPECT_EQ(present(), status_ok);
}

}  // namespace
