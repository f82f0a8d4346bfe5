// The page on a phone (390 x 844 CSS pixels at 3 device pixels each, touch, a coarse pointer), upright and then on
// its side: each part of the window drawn to the nearest pixel, the view across nine tenths of the screen at least,
// every arrow, thumb and button at least 44 CSS pixels as drawn; taps work the controls as clicks do (the icon bar
// against modra-render's window), a finger drops and drags, two fingers move both sliders, and the rotation keeps
// the field. K keeps the phone's windows in the replay, and a desktop-sized page plays it in them.
//   node --experimental-websocket web_phone.mjs DEVTOOLS_WS_URL PAGE_URL MODRA_RENDER SHOTS_DIR WORK_DIR
import { execFileSync } from "node:child_process";
import { writeFileSync } from "node:fs";
import { connect, openPage, readPpm, replayOf, sleep, unlike, verdict } from "./devtools.mjs";

const [browserUrl, pageUrl, render, shots, work] = process.argv.slice(2);
const cdp = await connect(browserUrl);
const { check, done, tell, finish } = verdict("web_phone");
const ratio = 3, finger = 44;

// Page-side helpers. Parts are [from left, top, right, bottom, to left, top, right, bottom]: 0 the view, 1 the
// palette slider, 2 the parameter slider, 3..6 the buttons.
const helpers = `window.phoneTest = {
    canvas: () => document.getElementById("modra"),
    drawn() { const c = this.canvas(); return c.getContext("2d").getImageData(0, 0, c.width, c.height).data; },
    part: (i) => Module.modraParts[i],
    // Device pixels of each part that are not the window's pixel nearest them (either one, on a boundary).
    mismatches() {
        const c = this.canvas(), d = this.drawn(), b = Module.modraBack, s = modraTest.grab(0, 0, b.width, b.height);
        return Module.modraParts.map((p) => {
            let wrong = 0;
            const at = (f) => [Math.floor(f - 1e-6), Math.floor(f + 1e-6)];
            for (let y = p[5]; y < p[7]; ++y) {
                const ys = at((y - p[5] + 0.5) * (p[3] - p[1]) / (p[7] - p[5]));
                for (let x = p[4]; x < p[6]; ++x) {
                    const i = (y * c.width + x) * 4, xs = at((x - p[4] + 0.5) * (p[2] - p[0]) / (p[6] - p[4]));
                    const same = (u, v) => { const j = ((p[1] + v) * b.width + p[0] + u) * 4;
                                             return s[j] === d[i] && s[j + 1] === d[i + 1] && s[j + 2] === d[i + 2]; };
                    if (!xs.some((u) => ys.some((v) => same(u, v)))) ++wrong;
                }
            }
            return wrong;
        });
    },
    // A slider's drawing, in device pixels: its arrows (the first and last runs of columns with the frame's grey,
    // and their rows), its thumb (the white run of its top row, and the white run down that run's middle column).
    slider(i) {
        const c = this.canvas(), d = this.drawn(), p = this.part(i);
        const is = (x, y, v) => { const j = (y * c.width + x) * 4; return d[j] === v && d[j + 1] === v && d[j + 2] === v; };
        const runs = [];
        for (let x = p[4]; x < p[6]; ++x) {
            let grey = false;
            for (let y = p[5]; y < p[7] && !grey; ++y) grey = is(x, y, 127);
            if (!grey) continue;
            if (runs.length && runs[runs.length - 1][1] === x) runs[runs.length - 1][1] = x + 1; else runs.push([x, x + 1]);
        }
        const rows = ([l, r]) => {
            let top = Infinity, bottom = -Infinity;
            for (let x = l; x < r; ++x) for (let y = p[5]; y < p[7]; ++y) if (is(x, y, 127)) { top = Math.min(top, y); bottom = Math.max(bottom, y + 1); }
            return bottom - top;
        };
        let left = -1, right = -1;
        for (let x = p[4]; x < p[6]; ++x) if (is(x, p[5], 255)) { if (left < 0) left = x; right = x + 1; }
        const middle = (left + right) >> 1;
        let tall = 0;
        for (let y = p[5]; y < p[7]; ++y) if (is(middle, y, 255)) ++tall;
        const [first, last] = [runs[0], runs[runs.length - 1]];
        return { arrows: [[first[1] - first[0], rows(first)], [last[1] - last[0], rows(last)]],
                 thumb: [right - left, tall], thumbAt: middle, track: last[0] - first[1] };
    },
    // The CSS point over the window's point (x, y) of part i.
    over(i, x, y) {
        const c = this.canvas(), r = c.getBoundingClientRect(), p = this.part(i);
        const dx = p[4] + (x - p[0] + 0.5) * (p[6] - p[4]) / (p[2] - p[0]), dy = p[5] + (y - p[1] + 0.5) * (p[7] - p[5]) / (p[3] - p[1]);
        return [r.left + dx * r.width / c.width, r.top + dy * r.height / c.height];
    },
};`;

const touch = (page, type, points) =>
    page.send("Input.dispatchTouchEvent", { type, touchPoints: points.map(([x, y], id) => ({ x, y, id })) });
const over = (page, part, x, y) => page.evaluate(`phoneTest.over(${part}, ${x}, ${y})`);
async function tap(page, part, x, y) {
    await touch(page, "touchStart", [await over(page, part, x, y)]);
    await touch(page, "touchEnd", []);
    await sleep(300);
}
const fit = (v) => v.toFixed(1);

// The parts drawn as the window's pixels, the view's share, and every target's size as drawn, in CSS pixels.
async function measure(page, label, across) {
    const wrong = await page.evaluate(`phoneTest.mismatches()`);
    check(`${label}: seven parts, each drawn from the window's nearest pixels (${JSON.stringify(wrong)} differ)`,
          wrong.length === 7 && wrong.every((n) => n === 0));
    const [view, room] = await page.evaluate(`[phoneTest.part(0), [phoneTest.canvas().width, phoneTest.canvas().height]]`);
    const share = across === "width" ? (view[6] - view[4]) / room[0] : (view[7] - view[5]) / room[1];
    check(`${label}: the view, ${view[6] - view[4]} x ${view[7] - view[5]} of ${room[0]} x ${room[1]} device pixels, ` +
          `fills ${fit(share * 100)}% of the screen's ${across}, 90% at least`, share >= 0.9);
    // A press anywhere on a slider's track takes the thumb there: the track, the thumb's thickness across, is the
    // thumb's target. A button's is its hot zone, a part of its own.
    const sliders = await page.evaluate(`[1, 2].map((i) => phoneTest.slider(i))`);
    const zones = await page.evaluate(`[3, 4, 5, 6].map((b) => { const p = phoneTest.part(b); return [p[6] - p[4], p[7] - p[5]]; })`);
    const kinds = { arrows: sliders.flatMap((s) => s.arrows), tracks: sliders.map((s) => [s.track, s.thumb[1]]), "buttons' hot zones": zones };
    // A target is too small if its kind's narrowest or lowest is.
    const least = Object.entries(kinds).map(([kind, boxes]) => [kind, ...[0, 1].map((k) => Math.min(...boxes.map((b) => b[k])) / ratio)]);
    const told = least.map(([kind, w, h]) => `${kind} ${fit(w)} x ${fit(h)}`).join(", ");
    tell(`${label}, in CSS pixels: ${told}`);
    check(`${label}: every target ${finger} CSS pixels at least as drawn (${told})`, least.every(([, w, h]) => w >= finger && h >= finger));
}

// modra-render's window with the wave and the pause button clicked, for its icon bar, 640 x 23 at (20, 537).
writeFileSync(`${work}/buttons.txt`, "click 114 548\nclick 167 548\n");
execFileSync(render, ["--script", `${work}/buttons.txt`, "--window", `${work}/buttons.ppm`]);
const desktop = readPpm(`${work}/buttons.ppm`);

await cdp.send("Browser.grantPermissions", { origin: new URL(pageUrl).origin,
                                             permissions: ["clipboardReadWrite", "clipboardSanitizedWrite"] });
let link = "";
{
    const page = await openPage(cdp, pageUrl, { width: 390, height: 844, ratio, mobile: true, preload: helpers,
                                                media: [{ name: "pointer", value: "coarse" }] });
    // Its first frame, in seven parts: measure's first check says if not.
    await page.until(`window.Module?.modraParts?.length === 7 && modraPresents.some((p) => p[3] === 640 && p[4] === 480)`, 15000);
    await sleep(500);
    writeFileSync(`${shots}/web_phone_upright.png`, await page.screenshot());
    await measure(page, "upright", "width");
    check("upright: the page does not scroll", await page.evaluate(`document.scrollingElement.scrollHeight <= innerHeight &&
                                                                   document.scrollingElement.scrollWidth <= innerWidth`));

    // Taps on the wave and the pause buttons: the icon bar (at (0, 487) in the phone's window, drawn as its parts
    // were measured to be) then as modra-render's after clicks.
    await tap(page, 4, 83 + 11, 487 + 11);
    await tap(page, 5, 136 + 11, 487 + 11);
    const wrong = unlike(await page.pixels(0, 487, 640, 23), desktop, undefined, [20, 537]);
    check(`upright: taps on the wave and pause buttons leave the icon bar as clicks do on the desktop (${wrong} pixels differ)`,
          wrong === 0);

    // Taps on the sliders: the parameter's increase arrow steps it up, the palette's track takes the thumb there.
    const parameter = await page.evaluate(`phoneTest.part(2)`), length = parameter[2] - parameter[0];
    const before = await page.evaluate(`phoneTest.slider(2).thumbAt`);
    await tap(page, 2, 647 + length - 8, 11);
    const stepped = await page.evaluate(`phoneTest.slider(2).thumbAt`);
    check(`upright: a tap on the parameter slider's increase arrow moves its thumb on (from ${before} to ${stepped})`, stepped > before);
    const palette = await page.evaluate(`phoneTest.part(1)`);
    const aim = 647 + 30 + Math.floor((length - 60) * 3 / 4);
    await tap(page, 1, aim, 30 + 11);
    const taken = await page.evaluate(`phoneTest.slider(1).thumbAt`);
    const expected = palette[4] + (aim - 647 + 0.5) * (palette[6] - palette[4]) / length;
    check(`upright: a tap on the palette track takes the thumb under the finger (${taken}, the finger at ${fit(expected)})`,
          Math.abs(taken - expected) <= (palette[6] - palette[4]) / length * 2);

    // Paused, once the palette's fade has settled: one finger drops under itself and drags the drop along.
    const settled = `(() => { const a = modraTest.view();
        return new Promise((r) => setTimeout(() => r(modraTest.changed(a, modraTest.view()).n === 0), 400)); })()`;
    await page.until(settled, 10000);
    await page.evaluate(`void (modraTest.still = modraTest.view())`);
    await touch(page, "touchStart", [await over(page, 0, 200, 200)]);
    for (const x of [230, 260, 290]) await touch(page, "touchMove", [await over(page, 0, x, 200)]);
    await touch(page, "touchEnd", []);
    await sleep(300);
    const box = await page.evaluate(`modraTest.changed(modraTest.still, modraTest.view()).box`);
    check(`upright: a finger drops under itself from (200, 200) to (290, 200) (changed: ${JSON.stringify(box)})`,
          box && Math.abs(box[0] - 190) <= 2 && Math.abs(box[2] - 301) <= 2 && Math.abs(box[1] - 190) <= 2 && Math.abs(box[3] - 211) <= 2);

    // Two fingers, moved up and right together: both thumbs go on.
    const thumbs = `[phoneTest.slider(1).thumbAt, phoneTest.slider(2).thumbAt]`;
    const wereAt = await page.evaluate(thumbs);
    const pair = async (dx, dy) => [await over(page, 0, 300 + dx, 300 - dy), await over(page, 0, 360 + dx, 300 - dy)];
    await touch(page, "touchStart", [(await pair(0, 0))[0]]);
    await touch(page, "touchStart", await pair(0, 0));
    for (const d of [20, 40, 60, 80]) await touch(page, "touchMove", await pair(d * 2, d));
    await touch(page, "touchEnd", []);
    await sleep(300);
    const nowAt = await page.evaluate(thumbs);
    check(`upright: two fingers moved up and right move both thumbs on (palette ${wereAt[0]} to ${nowAt[0]}, parameter ${wereAt[1]} to ${nowAt[1]})`,
          nowAt[0] > wereAt[0] && nowAt[1] > wereAt[1]);

    // On its side: the same field, laid out again once the palette's fade has settled.
    await page.until(settled, 10000);
    await page.evaluate(`void (modraTest.field = modraTest.view())`);
    await page.send("Emulation.setDeviceMetricsOverride", { width: 844, height: 390, deviceScaleFactor: ratio, mobile: true,
                                                            screenOrientation: { type: "landscapePrimary", angle: 90 } });
    const turned = await page.until(`phoneTest.canvas().width === 2532 && phoneTest.canvas().height === 1170`, 5000);
    await sleep(500);
    check("on its side: the canvas becomes the 2532 x 1170 room, and the field is the same",
          turned && await page.evaluate(`modraTest.changed(modraTest.field, modraTest.view()).n === 0`));
    writeFileSync(`${shots}/web_phone_side.png`, await page.screenshot());
    await measure(page, "on its side", "height");

    await page.key("k", "KeyK", 75);
    link = await page.copied();
    await done(page);
}

// The session's link on a desktop page: the phone's windows again, in parts, held at the frame asked for.
const { text, frames } = replayOf(link);
if (check(`K keeps the phone's session as a replay of the phone's windows (${JSON.stringify(text.slice(0, 60))})`,
          /^modra-replay 2\nseed \d+ size \d+ 510 zoom 1 phone\n/.test(text) && frames > 60)) {
    const at = frames - 30;
    const page = await openPage(cdp, `${link}&at=${at}`, { width: 1000, height: 800 });
    await page.shown();
    await page.key("Tab", "Tab", 9);
    const stopped = await page.until(`document.title.includes("held at frame ${at}")`, 20000);
    const [parts, window] = await page.evaluate(`[Module.modraParts.length, [Module.modraBack.width, Module.modraBack.height]]`);
    check(`the link on a desktop page shows the phone's window in parts (${parts}, ${window}) and holds at frame ${at} (${stopped})`,
          stopped && parts === 7 && window[0] > 640 && window[1] === 510);
    writeFileSync(`${shots}/web_phone_replayed.png`, await page.screenshot());
    await done(page);
}

finish(cdp, "the phone's page fits a finger, upright and on its side, and keeps its windows in a replay");
