// The page where nobody may be looking: after a 20 s stall of the main thread it makes up nothing (no long
// task); embedded, it makes no frame while hidden and, shown again, goes on with no long task; with reduced
// motion it stands still on its first frame until its play control starts it; as a wallpaper, each host's
// listeners, called as the host calls them, work the toy: settings, pause, and spectra heard as drops.
// Prints its faults and exits 1 on any.
//   node --experimental-websocket web_wallpaper.mjs DEVTOOLS_WS_URL PAGE_URL SHOTS_DIR
import { writeFileSync } from "node:fs";
import { connect, openPage, sleep, verdict } from "./devtools.mjs";

const [browserUrl, pageUrl, shots] = process.argv.slice(2);
const cdp = await connect(browserUrl);
const { faults, check, finish } = verdict("web_wallpaper");

// Long tasks from now on, kept in the page.
const watchLongTasks = `void (window.longTasks = [], new PerformanceObserver((list) =>
    longTasks.push(...list.getEntries().map((e) => [Math.round(e.startTime), Math.round(e.duration)])))
    .observe({ type: "longtask" }))`;
const views = `window.modraPresents.filter((p) => p[3] === 640 && p[4] === 480).length`;
// The view now, and how many of its pixels changed since.
const grab = `document.getElementById("modra").getContext("2d").getImageData(20, 20, 640, 480).data`;
const mark = (page) => page.evaluate(`void (window.before = ${grab})`);
const changed = (page) => page.evaluate(`(() => {
    const now = ${grab};
    let n = 0;
    for (let i = 0; i < now.length; i += 4) if (now[i] !== before[i] || now[i + 1] !== before[i + 1]) ++n;
    return n;
})()`);
async function moved(page, ms) {
    await mark(page);
    await sleep(ms);
    return changed(page);
}
// Frames made over `ms`.
async function frames(page, ms) {
    const before = await page.evaluate(views);
    await sleep(ms);
    return (await page.evaluate(views)) - before;
}
async function load(url, preload = "") {
    const page = await openPage(cdp, url, { width: 1280, height: 960, preload });
    check(`${url}: no first frame`, await page.until(`window.modraPresents.some((p) => p[3] === 640)`, 15000));
    return page;
}
async function done(page) {
    faults.push(...page.problems);
    await page.close();
}

// A stall of 20 s: the loop starts its schedule again rather than making up 1200 frames at once.
{
    const page = await load(pageUrl);
    await sleep(500);
    await page.evaluate(`${watchLongTasks}; window.stallEnd = performance.now() + 20000; while (performance.now() < stallEnd) {}`);
    await sleep(3000);
    const late = await page.evaluate(`longTasks.filter(([start]) => start >= stallEnd)`);
    const made = await frames(page, 1000);
    console.log(`web_wallpaper: after a 20 s stall, long tasks ${JSON.stringify(late)}, ${made} frames in the next second`);
    check(`after a 20 s stall: long tasks ${JSON.stringify(late)}`, late.length === 0 && made > 50);
    await done(page);
}

// Embedded and hidden (another tab in front, as in a browser): no frames, then on from where it stood.
{
    const page = await load(pageUrl + "?embed");
    await sleep(500);
    const { targetId } = await cdp.send("Target.createTarget", { url: "about:blank" });
    await sleep(200);
    const hidden = await page.evaluate(`document.visibilityState`);
    const made = await frames(page, 600);
    await page.evaluate(watchLongTasks);
    await cdp.send("Target.closeTarget", { targetId });
    const again = await frames(page, 2000);
    const long = await page.evaluate(`longTasks`);
    console.log(`web_wallpaper: embedded, ${hidden}: ${made} frames in 0.6 s; shown again, ${again} in 2 s, long tasks ${JSON.stringify(long)}`);
    check(`embedded and ${hidden}: ${made} frames in 0.6 s`, hidden === "hidden" && made === 0);
    check(`shown again: ${again} frames in 2 s, long tasks ${JSON.stringify(long)}`, again > 100 && long.length === 0);
    await done(page);
}

// Reduced motion: the embedded page stands still on its first frame, with a play control that starts it.
{
    const page = await openPage(cdp, "about:blank", { width: 1280, height: 960 });
    await page.send("Emulation.setEmulatedMedia", { features: [{ name: "prefers-reduced-motion", value: "reduce" }] });
    await page.send("Page.navigate", { url: pageUrl + "?embed" });
    const shown = await page.until(`document.getElementById("play")?.hidden === false`, 15000);
    const still = await frames(page, 1000);
    writeFileSync(`${shots}/web_still.png`, await page.screenshot());
    const [x, y] = await page.evaluate(`(() => {
        const r = document.getElementById("play").getBoundingClientRect();
        return [r.left + r.width / 2, r.top + r.height / 2];
    })()`);
    for (const type of ["mousePressed", "mouseReleased"])
        await page.send("Input.dispatchMouseEvent", { type, x, y, button: "left", buttons: type === "mousePressed" ? 1 : 0, clickCount: 1 });
    const playing = await frames(page, 1000);
    console.log(`web_wallpaper: reduced motion: ${still} frames in 1 s with the play control, ${playing} after it`);
    check(`reduced motion: the play control ${shown ? "shown" : "not shown"}, ${still} frames in 1 s, ${playing} once played`,
          shown && still === 0 && playing > 50 && await page.evaluate(`document.getElementById("play").hidden`));
    await done(page);
}

// Each host as it calls the page: its settings, its pause, its spectra.
const hosts = {
    "wallpaper-engine": {
        preload: "window.wallpaperRegisterAudioListener = (listener) => { window.hostAudio = listener; };",
        set: (name, value) => `wallpaperPropertyListener.applyUserProperties({ ${name}: { value: ${JSON.stringify(value)} } })`,
        pause: (paused) => `wallpaperPropertyListener.setPaused(${paused})`,
        audio: "hostAudio",
        rule: "1",
    },
    lively: {
        preload: "",
        set: (name, value) => `livelyPropertyListener(${JSON.stringify(name)}, ${JSON.stringify(value)})`,
        pause: (paused) => `livelyWallpaperPlaybackChanged(${JSON.stringify(JSON.stringify({ IsPaused: paused }))})`,
        audio: "livelyAudioListener",
        rule: 1,
    },
};
for (const [name, host] of Object.entries(hosts)) {
    const page = await load(`${pageUrl}?wallpaper=${name}`, host.preload);
    const white = (x, y, w) => page.evaluate(`(() => {
        const d = document.getElementById("modra").getContext("2d").getImageData(${x}, ${y}, ${w}, 1).data;
        for (let i = 0; i < d.length; i += 4) if (d[i] + d[i + 1] + d[i + 2] !== 765) return false;
        return true;
    })()`);
    const playing = await moved(page, 1000);
    await page.evaluate(`${host.set("attract", false)}; ${host.set("rule", host.rule)}; ${host.set("palette", 90)}`);
    await sleep(300);
    // The wave button pressed (white along its top), and the palette thumb (white) far to the right.
    const wave = await white(103, 537, 23);
    const thumb = await page.evaluate(`(() => {
        const d = document.getElementById("modra").getContext("2d").getImageData(20, 507, 640, 1).data;
        for (let i = 0; i < d.length; i += 4) if (d[i] + d[i + 1] + d[i + 2] === 765) return 20 + i / 4;
        return null;
    })()`);
    check(`${name}: playing by itself, ${playing} pixels changed in 1 s`, playing > 1000);
    check(`${name}: the rule setting presses the wave button (${wave}), palette 90 puts the thumb at ${thumb}`, wave && thumb > 500);

    // On the paused view a click drops only while clicks drop.
    await page.key(" ", "Space", 32);
    await sleep(300);
    await page.evaluate(host.set("clickdrops", false));
    await mark(page);
    await page.click([340, 260]);
    await sleep(300);
    const ignored = await changed(page);
    await page.evaluate(host.set("clickdrops", true));
    await page.click([340, 260]);
    await sleep(300);
    const dropped = await changed(page);
    check(`${name}: a click changed ${ignored} pixels with clicks off and ${dropped} with them on`, ignored === 0 && dropped > 100);

    await page.evaluate(host.pause(true));
    await sleep(200);
    const paused = await frames(page, 1000);
    await page.evaluate(host.pause(false));
    const resumed = await frames(page, 1000);
    check(`${name}: ${paused} frames in 1 s paused by the host, ${resumed} after`, paused === 0 && resumed > 50);

    // Loud bursts between quiet, 30 spectra a second, heard on the paused view.
    await page.evaluate(`${host.set("listening", true)}; void (window.beat = 0, window.feeding = setInterval(() => {
        const loud = beat++ % 8 < 2;
        ${host.audio}(Array.from({ length: 128 }, () => (loud ? 0.6 + 0.4 * Math.random() : 0.01 * Math.random())));
    }, 1000 / 30))`);
    await sleep(500);
    const heard = await moved(page, 2000);
    await page.evaluate(`clearInterval(feeding)`);
    console.log(`web_wallpaper: ${name}: ${playing} pixels changed in 1 s by itself, thumb at ${thumb}, a click ${ignored}/${dropped}, ` +
                `${paused}/${resumed} frames paused/resumed, its spectra ${heard} pixels in 2 s`);
    check(`${name}: its spectra changed ${heard} pixels of the paused view in 2 s`, heard > 100);
    await done(page);
}

finish(cdp, "no catch-up after a stall or when shown again, still where asked, and both hosts work the toy");
