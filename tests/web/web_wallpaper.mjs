// The page where nobody may be looking: after a 20 s stall of the main thread it makes up nothing (no long
// task); embedded, it makes no frame while hidden and, shown again, goes on with no long task; with reduced
// motion it stands still on its first frame until its play control starts it; as a wallpaper, each host's
// listeners, called as the host calls them, work the toy: settings, pause, and spectra heard as drops.
//   node --experimental-websocket web_wallpaper.mjs DEVTOOLS_WS_URL PAGE_URL SHOTS_DIR
import { writeFileSync } from "node:fs";
import { connect, openPage, sleep, verdict } from "./devtools.mjs";

const [browserUrl, pageUrl, shots] = process.argv.slice(2);
const cdp = await connect(browserUrl);
const { check, done, tell, finish } = verdict("web_wallpaper");

// Long tasks from now on, kept in the page.
const watchLongTasks = `void (window.longTasks = [], new PerformanceObserver((list) =>
    longTasks.push(...list.getEntries().map((e) => [Math.round(e.startTime), Math.round(e.duration)])))
    .observe({ type: "longtask" }))`;
async function load(url, preload = "") {
    const page = await openPage(cdp, url, { width: 1280, height: 960, preload });
    check(`${url}: no first frame`, await page.shown());
    return page;
}

// A stall of 20 s: the loop starts its schedule again rather than making up 1200 frames at once.
{
    const page = await load(pageUrl);
    await sleep(500);
    await page.evaluate(`${watchLongTasks}; window.stallEnd = performance.now() + 20000; while (performance.now() < stallEnd) {}`);
    await sleep(3000);
    const late = await page.evaluate(`longTasks.filter(([start]) => start >= stallEnd)`);
    const made = await page.frames(1000);
    tell(`after a 20 s stall ${made} frames in the next second`);
    check(`after a 20 s stall: long tasks ${JSON.stringify(late)}, ${made} frames in the next second`, late.length === 0 && made > 50);
    await done(page);
}

// Embedded and hidden (another tab in front, as in a browser): no frames, then on from where it stood.
{
    const page = await load(pageUrl + "?embed");
    await sleep(500);
    const { targetId } = await cdp.send("Target.createTarget", { url: "about:blank" });
    await sleep(200);
    const hidden = await page.evaluate(`document.visibilityState`);
    const made = await page.frames(600);
    await page.evaluate(watchLongTasks);
    await cdp.send("Target.closeTarget", { targetId });
    const again = await page.frames(2000);
    const long = await page.evaluate(`longTasks`);
    tell(`embedded, shown again, ${again} frames in 2 s`);
    check(`embedded and ${hidden}: ${made} frames in 0.6 s`, hidden === "hidden" && made === 0);
    check(`shown again: ${again} frames in 2 s, long tasks ${JSON.stringify(long)}`, again > 100 && long.length === 0);
    await done(page);
}

// Reduced motion: the embedded page stands still on its first frame, with a play control that starts it.
{
    const reduce = [{ name: "prefers-reduced-motion", value: "reduce" }];
    const page = await openPage(cdp, pageUrl + "?embed", { width: 1280, height: 960, media: reduce });
    const shown = await page.until(`document.getElementById("play")?.hidden === false`, 15000);
    const still = await page.frames(1000);
    writeFileSync(`${shots}/web_still.png`, await page.screenshot());
    await page.click("#play");
    const playing = await page.frames(1000);
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
    const playing = await page.moved(1000);
    await page.evaluate(`${host.set("attract", false)}; ${host.set("rule", host.rule)}; ${host.set("palette", 90)}`);
    await sleep(300);
    // The wave button pressed (white along its top), and the palette thumb far to the right.
    const [wave, thumb] = await page.evaluate(`[modraTest.allWhite(103, 537, 23, 1), modraTest.whiteMiddle(20, 507, 640, 1)]`);
    check(`${name}: playing by itself, ${playing} pixels changed in 1 s`, playing > 1000);
    check(`${name}: the rule setting presses the wave button (${wave}), palette 90 puts the thumb at ${thumb}`, wave && thumb > 500);

    // On the paused view a click drops only while clicks drop.
    await page.key(" ", "Space", 32);
    await sleep(300);
    await page.evaluate(host.set("clickdrops", false));
    const ignored = await page.moved(300, () => page.click([340, 260]));
    await page.evaluate(host.set("clickdrops", true));
    const dropped = await page.moved(300, () => page.click([340, 260]));
    check(`${name}: a click changed ${ignored} pixels with clicks off and ${dropped} with them on`, ignored === 0 && dropped > 100);

    await page.evaluate(host.pause(true));
    await sleep(200);
    const paused = await page.frames(1000);
    await page.evaluate(host.pause(false));
    const resumed = await page.frames(1000);
    check(`${name}: ${paused} frames in 1 s paused by the host, ${resumed} after`, paused === 0 && resumed > 50);

    // Loud bursts between quiet, 30 spectra a second, heard on the paused view.
    await page.evaluate(`${host.set("listening", true)}; void (window.beat = 0, window.feeding = setInterval(() => {
        const loud = beat++ % 8 < 2;
        ${host.audio}(Array.from({ length: 128 }, () => (loud ? 0.6 + 0.4 * Math.random() : 0.01 * Math.random())));
    }, 1000 / 30))`);
    await sleep(500);
    const heard = await page.moved(2000);
    await page.evaluate(`clearInterval(feeding)`);
    tell(`${name}: its spectra changed ${heard} pixels in 2 s`);
    check(`${name}: its spectra changed ${heard} pixels of the paused view in 2 s`, heard > 100);
    await done(page);
}

finish(cdp, "no catch-up after a stall or when shown again, still where asked, and both hosts work the toy");
