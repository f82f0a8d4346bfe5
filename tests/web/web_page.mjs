// The page in headless Chromium under the browser's own mouse and keyboard, at several zooms and embedded; at
// zoom 1 the window against WINDOW.ppm, modra-render's. Prints its faults and exits 1 on any.
//   node --experimental-websocket web_page.mjs DEVTOOLS_WS_URL PAGE_URL WINDOW.ppm SHOTS_DIR
import { readFileSync, writeFileSync } from "node:fs";
import { connect, openPage, sleep, verdict } from "./devtools.mjs";

const [browserUrl, pageUrl, windowPpm, shots] = process.argv.slice(2);
const cdp = await connect(browserUrl);
const { faults, check, finish } = verdict("web_page");
const done = (page) => { faults.push(...page.problems); return page.close(); };

// Page-side helpers over the canvas, in client pixels of the window.
const helpers = `window.modraTest = {
    grab(x, y, w, h) {
        return document.getElementById("modra").getContext("2d").getImageData(x, y, w, h).data;
    },
    view() { return this.grab(20, 20, 640, 480); },
    // The smallest box holding every view pixel that differs, as [left, top, right, bottom).
    changed(a, b) {
        let box = null;
        for (let i = 0; i < a.length; i += 4) {
            if (a[i] === b[i] && a[i + 1] === b[i + 1] && a[i + 2] === b[i + 2]) continue;
            const x = 20 + (i / 4) % 640, y = 20 + Math.floor(i / 4 / 640);
            box = box ? [Math.min(box[0], x), Math.min(box[1], y), Math.max(box[2], x + 1), Math.max(box[3], y + 1)]
                      : [x, y, x + 1, y + 1];
        }
        return box;
    },
    white(i, d) { return d[i] === 255 && d[i + 1] === 255 && d[i + 2] === 255; },
    allWhite(x, y, w, h) {
        const d = this.grab(x, y, w, h);
        for (let i = 0; i < d.length; i += 4) if (!this.white(i, d)) return false;
        return true;
    },
    base64(d) {
        let s = "";
        for (let i = 0; i < d.length; i += 0x8000) s += String.fromCharCode(...d.subarray(i, i + 0x8000));
        return btoa(s);
    },
    // Where a thumb is: the mean position of the white pixels along a line.
    whiteMiddle(x, y, w, h) {
        const d = this.grab(x, y, w, h);
        let sum = 0, n = 0;
        for (let i = 0; i < d.length; i += 4)
            if (this.white(i, d)) { sum += (w > 1 ? x : y) + i / 4; n++; }
        return n ? Math.round(sum / n) : null;
    },
};`;

async function load(size, url = pageUrl) {
    const page = await openPage(cdp, url, size);
    // The first frame: the first present of the whole view on its own.
    const shown = await page.until(`window.modraPresents.some((p) => p[3] === 640 && p[4] === 480)`, 15000);
    await page.evaluate(helpers);
    return { page, shown };
}

// The icon bar, a drop and a right drag, under real pointer events and keys.
async function play(page, label) {
    const settle = () => sleep(300);
    await page.click([110, 548]);
    await settle();
    check(`${label}: a click on the wave button presses it`, await page.evaluate(`modraTest.allWhite(103, 537, 23, 1)`));
    check(`${label}: and releases diffusion`, !(await page.evaluate(`modraTest.allWhite(50, 537, 23, 1)`)));
    await page.key(" ", "Space", 32);
    await settle();
    await page.evaluate(`void (modraTest.paused = modraTest.view())`);
    await settle();
    check(`${label}: Space pauses, and the view holds still`,
          (await page.evaluate(`modraTest.changed(modraTest.paused, modraTest.view())`)) === null);
    // A press at view point (320, 240) drops a radius-10 disc around it.
    await page.click([340, 260]);
    await settle();
    const box = await page.evaluate(`modraTest.changed(modraTest.paused, modraTest.view())`);
    const centre = box && [(box[0] + box[2] - 1) / 2, (box[1] + box[3] - 1) / 2];
    check(`${label}: a press in the paused view drops under the pointer (changed: ${JSON.stringify(box)})`,
          box && Math.abs(centre[0] - 340) <= 1 && Math.abs(centre[1] - 260) <= 1 &&
          box[2] - box[0] >= 15 && box[2] - box[0] <= 21 && box[3] - box[1] >= 15 && box[3] - box[1] <= 21);
    await page.key(" ", "Space", 32);
    await page.evaluate(`void (modraTest.dropped = modraTest.view())`);
    await settle();
    check(`${label}: Space again, and the wave rule spreads the drop`,
          (await page.evaluate(`modraTest.changed(modraTest.dropped, modraTest.view())`)) !== null);
    // Up raises the parameter, right moves to a later palette.
    const before = await page.evaluate(`[modraTest.whiteMiddle(667, 20, 1, 480), modraTest.whiteMiddle(20, 507, 640, 1)]`);
    await page.drag("right", [400, 300], [[425, 275], [450, 250]]);
    await settle();
    const after = await page.evaluate(`[modraTest.whiteMiddle(667, 20, 1, 480), modraTest.whiteMiddle(20, 507, 640, 1)]`);
    check(`${label}: a right drag up raises the parameter thumb (row ${after[0]}, was ${before[0]})`, after[0] < before[0]);
    check(`${label}: a right drag right moves the palette thumb (column ${after[1]}, was ${before[1]})`, after[1] > before[1]);
}

// Zoom 1: the window as first shown, the frame rate, then play.
{
    const { page, shown } = await load({ width: 1000, height: 800 });
    check("zoom 1: the page shows a first frame within 15 s", shown);
    const zoom = await page.evaluate(`Module.modraZoom`);
    check(`zoom 1: a 1000 x 800 page shows the window at zoom ${zoom}, not 1`, zoom === 1);
    const page_window = await page.evaluate(`(() => {
        const c = document.getElementById("modra");
        return { width: c.width, height: c.height, title: document.title,
                 rgba: modraTest.base64(c.getContext("2d").getImageData(0, 0, c.width, c.height).data) };
    })()`);
    check(`the page's title is ${page_window.title}`, page_window.title === "Modra");
    // modra-render's P6 header is "P6\nW H\n255\n".
    const ppm = readFileSync(windowPpm), header = ppm.toString("latin1", 0, 20).split(/\s+/);
    const [width, height] = [+header[1], +header[2]], rgb = ppm.subarray(ppm.length - width * height * 3);
    if (check(`the canvas is ${page_window.width} x ${page_window.height}, the window ${width} x ${height}`,
              page_window.width === width && page_window.height === height)) {
        const rgba = Buffer.from(page_window.rgba, "base64");
        let wrong = 0, first = null;
        for (let y = 0; y < height; ++y)
            for (let x = 0; x < width; ++x) {
                if (x >= 20 && x < 660 && y >= 20 && y < 500) continue;  // the view, app/layout.h
                const i = y * width + x;
                if ([0, 1, 2].some((c) => rgba[4 * i + c] !== rgb[3 * i + c])) {
                    first ??= [x, y];
                    ++wrong;
                }
            }
        check(`${wrong} pixels outside the view differ from modra-render's; the first at ${first}`, wrong === 0);
    }
    // Five seconds on the browser's clock: frames are presents of the view.
    await sleep(500);
    const start = await page.evaluate(`[performance.now(), window.modraPresents.length]`);
    await sleep(5000);
    const end = await page.evaluate(`[performance.now(), window.modraPresents.length]`);
    const views = await page.evaluate(`window.modraPresents.slice(${start[1]}, ${end[1]})
        .filter((p) => p[3] === 640 && p[4] === 480).map((p) => p[0])`);
    const seconds = (end[0] - start[0]) / 1000;
    const rate = views.length / seconds;
    console.log(`web_page: ${rate.toFixed(2)} frames a second`);
    check(`zoom 1: ${views.length} frames in ${seconds.toFixed(2)} s, ${rate.toFixed(2)} a second, not 60 ± 1`,
          Math.abs(rate - 60) <= 1);
    await play(page, "zoom 1");
    // F1: the keys' list in the page's dialog, saying what S and R do here.
    await page.key("F1", "F1", 112);
    const box = await page.until(`document.getElementById("box").open`, 2000) &&
        await page.evaluate(`[document.querySelector("#box h2").textContent, document.querySelector("#box pre").textContent]`);
    writeFileSync(`${shots}/web_zoom1.png`, await page.screenshot());
    check(`zoom 1: F1 opens the dialog "Modra keys" with the keys of the page (${JSON.stringify(box)})`,
          box && box[0] === "Modra keys" && box[1].includes("download the picture") && box[1].includes("Space"));
    writeFileSync(`${shots}/web_keys.png`, await page.screenshot());
    await done(page);
}

// Zoom 2: a page with room for the window twice over.
{
    const { page, shown } = await load({ width: 1600, height: 1300 });
    const zoom = await page.evaluate(`Module.modraZoom`);
    check(`zoom 2: a 1600 x 1300 page shows the window at zoom ${zoom}, not 2`, shown && zoom === 2);
    await play(page, "zoom 2");
    writeFileSync(`${shots}/web_zoom2.png`, await page.screenshot());
    await done(page);
}

// Two device pixels per CSS pixel: zoom 2 in device pixels, the window at its CSS size.
{
    const { page, shown } = await load({ width: 1000, height: 800, ratio: 2 });
    const [zoom, cssWidth] = await page.evaluate(`[Module.modraZoom, document.getElementById("modra").getBoundingClientRect().width]`);
    check(`ratio 2: zoom ${zoom} and ${cssWidth} CSS pixels wide, not zoom 2 and 710`, shown && zoom === 2 && cssWidth === 710);
    await play(page, "ratio 2");
    await done(page);
}

// Embedded: only the view, filling the page at 2 x 2 CSS pixels a pixel; paused, to compare with the canvas.
{
    const { page, shown } = await load({ width: 1280, height: 960 }, pageUrl + "?embed");
    check("embed: the page shows a first frame", shown);
    await page.key(" ", "Space", 32);
    await sleep(300);
    const shot = await page.screenshot();
    writeFileSync(`${shots}/web_embed.png`, shot);
    const wrong = await page.evaluate(`(async () => {
        const blob = await (await fetch("data:image/png;base64,${shot.toString("base64")}")).blob();
        const bitmap = await createImageBitmap(blob);
        const c = new OffscreenCanvas(bitmap.width, bitmap.height);
        const g = c.getContext("2d");
        g.drawImage(bitmap, 0, 0);
        if (c.width !== 1280 || c.height !== 960) return "a " + c.width + " x " + c.height + " screenshot";
        const s = g.getImageData(0, 0, c.width, c.height).data, v = modraTest.view();
        let wrong = 0;
        for (let y = 0; y < 960; ++y)
            for (let x = 0; x < 1280; ++x) {
                const i = (y * 1280 + x) * 4, j = ((y >> 1) * 640 + (x >> 1)) * 4;
                if (s[i] !== v[j] || s[i + 1] !== v[j + 1] || s[i + 2] !== v[j + 2]) ++wrong;
            }
        return wrong;
    })()`);
    check(`embed: the page is the view at twice its size, pixel for pixel (${wrong} differ)`, wrong === 0);
    await done(page);
}

// A browser without WebAssembly SIMD gets the page's refusal, and nothing starts.
{
    const page = await openPage(cdp, pageUrl, { width: 1000, height: 800, preload: "WebAssembly.validate = () => false" });
    await page.until(`document.readyState === "complete"`, 5000);
    await sleep(500);
    const [text, canvasShown, started] = await page.evaluate(`[document.getElementById("refusal").hidden ? "" :
        document.getElementById("refusal").textContent, !document.getElementById("frame").hidden, typeof Module]`);
    check(`no SIMD: the page says why it cannot run (${JSON.stringify(text)}), hides the canvas and loads nothing`,
          text.includes("lacks WebAssembly SIMD") && !canvasShown && started === "undefined");
    await done(page);
}

finish(cdp, "the page loads cleanly, paints the window as modra-render does, keeps time and plays");
