// Writes a long random modra-render script that plays the toy roughly, as a
// restless user would: drops dragged in and out of the window, right drags
// over both sliders, clicks on every button and on the picture during its
// hold, held arrows, slider drags, stray clicks, waits and resizes. Every
// action is followed by a few frames, after which modra-render --check looks
// at the toy. The same seed gives the same script.
//
//   soak-script FRAMES [SEED]
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

#include "app/layout.h"

namespace {

// Resizes stay within this, and the first one reaches it, so the toy's
// memory has met its high-water mark long before the soak starts watching.
constexpr int max_width = 1400, max_height = 1100;
// The picture's 5 s hold, in frames; the script's count of frames is close
// to the toy's, but not exact, so a click near the end of a hold is left out.
constexpr int hold_frames = 5 * 60, hold_doubt = 30;

struct Player {
    std::mt19937 rng;
    std::int64_t frames = 0;  // about how many frames the script has asked for so far
    int width = client_width, height = client_height;
    // When the picture's hold ends, so that pause clicks keep clear of it.
    std::int64_t hold_ends = -1;

    bool holding() const { return frames < hold_ends; }
    bool hold_in_doubt() const { return frames > hold_ends - hold_doubt && frames < hold_ends + hold_doubt; }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
    bool chance(int percent) { return pick(1, 100) <= percent; }

    void say(const char* verb, int a, int b) { std::printf("%s %d %d\n", verb, a, b); }
    void press(const char* button, int x, int y) { std::printf("press %s %d %d\n", button, x, y); }
    void release(const char* button, int x, int y) { std::printf("release %s %d %d\n", button, x, y); }
    void step(int n) { std::printf("frames %d\n", n), frames += n; }
    void wait(int ms) { std::printf("wait %d\n", ms), frames += ms * 60 / 1000; }

    // Anywhere in the window or well beyond it: drags that leave the window.
    int wild_x() { return pick(-600, width + 600); }
    int wild_y() { return pick(-600, height + 600); }
    int view_x() { return pick(layout_x[0], layout_x[1] - 1); }
    int view_y() { return pick(layout_y[0], layout_y[1] - 1); }

    void drag(const char* button, int x, int y, bool wild)
    {
        press(button, x, y);
        for (int moves = pick(1, 8); moves > 0; --moves) {
            x = wild && chance(30) ? wild_x() : x + pick(-80, 80);
            y = wild && chance(30) ? wild_y() : y + pick(-80, 80);
            say("move", x, y);
            if (chance(40))
                step(pick(1, 3));
        }
        release(button, x, y);
    }

    void click_button(int index)
    {
        const int x = layout_x[0] + 30 + 53 * index + pick(0, 23);
        say("click", x, pick(layout_y[4], layout_y[5] - 1));
    }

    // One of the four arrows, held while the auto-repeat runs.
    void hold_arrow()
    {
        const bool parameter = chance(50), high_end = chance(50);
        // The parameter slider's high end is at the top, the palette's at the right.
        int x = layout_x[2] + pick(0, 22), y = high_end ? layout_y[0] + pick(0, 29) : layout_y[1] - pick(1, 30);
        if (!parameter)
            x = high_end ? layout_x[1] - pick(1, 30) : layout_x[0] + pick(0, 29), y = layout_y[2] + pick(0, 22);
        press("left", x, y);
        wait(pick(50, 1500));
        if (chance(20))
            say("move", wild_x(), wild_y());
        release("left", x, y);
    }

    void drag_slider()
    {
        if (chance(50))
            drag("left", layout_x[2] + pick(0, 22), pick(layout_y[0] + 30, layout_y[1] - 31), true);
        else
            drag("left", pick(layout_x[0] + 30, layout_x[1] - 31), layout_y[2] + pick(0, 22), true);
    }

    // The picture, and more clicks while its hold lasts: the pause button is
    // disabled, and the picture again starts its hold anew.
    void picture_and_hold()
    {
        if (hold_in_doubt())
            return;
        click_button(3);
        hold_ends = frames + hold_frames;
        for (int more = pick(0, 3); more > 0; --more) {
            step(pick(1, 60));
            const bool again = chance(50);
            click_button(again ? 3 : 2);
            if (again)
                hold_ends = frames + hold_frames;
        }
    }

    // Pause, and go on again soon: two clicks, kept clear of the picture's
    // hold, during which the button is disabled, so that they always pair up.
    void pause_a_while()
    {
        if (holding() || hold_in_doubt())
            return;
        click_button(2);
        step(pick(1, 90));
        click_button(2);
    }

    // A click anywhere but on the buttons, which would put the pause out of step.
    void stray_click()
    {
        int x = wild_x(), y = wild_y();
        while (y >= layout_y[4] && y < layout_y[5])
            y = wild_y();
        say("click", x, y);
    }

    void resize(int w, int h)
    {
        width = w, height = h;
        say("resize", w, h);
        compute_layout(w, h);
    }

    // Mostly sizes that keep every control in reach; now and then a brief
    // squeeze down to nothing, after which the controls come back.
    void resize_somehow()
    {
        if (chance(20)) {
            const int w = width, h = height;
            resize(pick(0, 150), pick(0, 150));
            step(pick(1, 30));
            resize(w, h);
        } else if (chance(40)) {
            resize(client_width, client_height);
        } else {
            resize(pick(300, max_width), pick(200, max_height));
        }
    }

    // Both buttons down at once, let go in either order, anywhere.
    void both_buttons()
    {
        const bool left_first = chance(50);
        press(left_first ? "left" : "right", view_x(), view_y());
        press(left_first ? "right" : "left", view_x(), view_y());
        release(chance(50) ? "left" : "right", wild_x(), wild_y());
        say("move", wild_x(), wild_y());
        release("left", wild_x(), wild_y());
        release("right", wild_x(), wild_y());
    }

    void act()
    {
        const int roll = pick(1, 1000);  // in thousandths
        if (roll <= 240) drag("left", view_x(), view_y(), true);
        else if (roll <= 360) drag("right", view_x(), view_y(), true);
        else if (roll <= 510) click_button(pick(0, 1));
        else if (roll <= 565) pause_a_while();
        else if (roll <= 570) picture_and_hold();
        else if (roll <= 700) hold_arrow();
        else if (roll <= 800) drag_slider();
        else if (roll <= 860) stray_click();
        else if (roll <= 900) wait(pick(0, 400));
        else if (roll <= 940) resize_somehow();
        else if (roll <= 970) step(pick(20, 200));
        else both_buttons();
        step(pick(1, 20));
    }
};

bool parse(const char* text, std::int64_t& value)
{
    const std::string s = text;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return ec == std::errc{} && end == s.data() + s.size() && value >= 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::int64_t target = 0, seed = 1;
    if (argc < 2 || argc > 3 || !parse(argv[1], target) || (argc == 3 && !parse(argv[2], seed))) {
        std::fputs("usage: soak-script FRAMES [SEED]\n", stderr);
        return 2;
    }
    Player player{std::mt19937(static_cast<std::uint32_t>(seed))};
    compute_layout(client_width, client_height);
    std::printf("# soak: about %lld frames from seed %lld\n", static_cast<long long>(target), static_cast<long long>(seed));
    player.step(30);
    player.resize(max_width, max_height);
    player.step(5);
    player.resize(client_width, client_height);
    while (player.frames < target)
        player.act();
    // The end at the usual size, where the soak compares memory.
    player.resize(client_width, client_height);
    player.step(1);
    return std::ferror(stdout) ? 1 : 0;
}
