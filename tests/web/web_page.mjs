// The page in headless Chromium under the browser's own mouse and keyboard, at several zooms and embedded; at
// zoom 1 the window against WINDOW.ppm, modra-render's. Prints its faults and exits 1 on any.
//   node --experimental-websocket web_page.mjs DEVTOOLS_WS_URL PAGE_URL WINDOW.ppm SHOTS_DIR
import { writeFileSync } from "node:fs";
import { connect, openPage, readPpm, sleep, unlike, verdict } from "./devtools.mjs";

const [browserUrl, pageUrl, windowPpm, shots] = process.argv.slice(2);
const cdp = await connect(browserUrl);
const { check, done, tell, finish } = verdict("web_page");

async function load(label, size, url = pageUrl) {
    const page = await openPage(cdp, url, size);
    check(`${label}: the page shows a first frame within 15 s`, await page.shown());
    return page;
}

// The icon bar, a drop and a right drag, under real pointer events and keys.
async function play(page, label) {
    const settle = () => sleep(300);
    const changed = (since) => page.evaluate(`modraTest.changed(modraTest.${since}, modraTest.view()).box`);
    await page.click([110, 548]);
    await settle();
    check(`${label}: a click on the wave button presses it and releases diffusion`,
          await page.evaluate(`modraTest.allWhite(103, 537, 23, 1) && !modraTest.allWhite(50, 537, 23, 1)`));
    await page.key(" ", "Space", 32);
    await settle();
    await page.evaluate(`void (modraTest.paused = modraTest.view())`);
    await settle();
    check(`${label}: Space pauses, and the view holds still`, (await changed("paused")) === null);
    // A press at view point (320, 240) drops a radius-10 disc around it.
    await page.click([340, 260]);
    await settle();
    const box = await changed("paused");
    const centre = box && [(box[0] + box[2] - 1) / 2, (box[1] + box[3] - 1) / 2];
    check(`${label}: a press in the paused view drops under the pointer (changed: ${JSON.stringify(box)})`,
          box && Math.abs(centre[0] - 320) <= 1 && Math.abs(centre[1] - 240) <= 1 &&
          box[2] - box[0] >= 15 && box[2] - box[0] <= 21 && box[3] - box[1] >= 15 && box[3] - box[1] <= 21);
    await page.key(" ", "Space", 32);
    await page.evaluate(`void (modraTest.dropped = modraTest.view())`);
    await settle();
    check(`${label}: Space again, and the wave rule spreads the drop`, (await changed("dropped")) !== null);
    // Up raises the parameter, right moves to a later palette.
    const thumbs = `[modraTest.whiteMiddle(667, 20, 1, 480), modraTest.whiteMiddle(20, 507, 640, 1)]`;
    const before = await page.evaluate(thumbs);
    await page.drag("right", [400, 300], [[425, 275], [450, 250]]);
    await settle();
    const after = await page.evaluate(thumbs);
    check(`${label}: a right drag up and right moves the parameter thumb up (row ${after[0]}, was ${before[0]}) ` +
          `and the palette's right (column ${after[1]}, was ${before[1]})`, after[0] < before[0] && after[1] > before[1]);
}

// Zoom 1: the window as first shown, the frame rate, then play.
{
    const page = await load("zoom 1", { width: 1000, height: 800 });
    const [zoom, title] = await page.evaluate(`[Module.modraZoom, document.title]`);
    check(`zoom 1: a 1000 x 800 page titled ${title} shows the window at zoom ${zoom}, not Modra at 1`, zoom === 1 && title === "Modra");
    const drawn = await page.pixels(), ppm = readPpm(windowPpm);
    const view = (x, y) => x >= 20 && x < 660 && y >= 20 && y < 500;  // app/layout.h
    const wrong = drawn.width === ppm.width && drawn.height === ppm.height ? unlike(drawn, ppm, (x, y) => !view(x, y)) : NaN;
    check(`the canvas is ${drawn.width} x ${drawn.height}, the window ${ppm.width} x ${ppm.height}; ` +
          `${wrong} pixels outside the view differ from modra-render's`, wrong === 0);
    // Five seconds on the browser's clock: frames are presents of the view.
    await sleep(500);
    const start = await page.evaluate(`performance.now()`);
    const made = await page.frames(5000);
    const seconds = ((await page.evaluate(`performance.now()`)) - start) / 1000, rate = made / seconds;
    tell(`${rate.toFixed(2)} frames a second`);
    check(`zoom 1: ${made} frames in ${seconds.toFixed(2)} s, ${rate.toFixed(2)} a second, not 60 ± 1`, Math.abs(rate - 60) <= 1);
    await play(page, "zoom 1");
    writeFileSync(`${shots}/web_zoom1.png`, await page.screenshot());
    // F1: the keys' list in the page's dialog, saying what S and R do here.
    await page.key("F1", "F1", 112);
    const box = await page.until(`document.getElementById("box").open`, 2000) &&
        await page.evaluate(`[document.querySelector("#box h2").textContent, document.querySelector("#box pre").textContent]`);
    check(`zoom 1: F1 opens the dialog "Modra keys" with the keys of the page (${JSON.stringify(box)})`,
          box && box[0] === "Modra keys" && box[1].includes("download the picture") && box[1].includes("Space"));
    writeFileSync(`${shots}/web_keys.png`, await page.screenshot());
    await done(page);
}

// Zoom 2: a page with room for the window twice over.
{
    const page = await load("zoom 2", { width: 1600, height: 1300 });
    const zoom = await page.evaluate(`Module.modraZoom`);
    check(`zoom 2: a 1600 x 1300 page shows the window at zoom ${zoom}, not 2`, zoom === 2);
    await play(page, "zoom 2");
    writeFileSync(`${shots}/web_zoom2.png`, await page.screenshot());
    await done(page);
}

// Two device pixels per CSS pixel: zoom 2 in device pixels, the window at its CSS size.
{
    const page = await load("ratio 2", { width: 1000, height: 800, ratio: 2 });
    const [zoom, cssWidth] = await page.evaluate(`[Module.modraZoom, document.getElementById("modra").getBoundingClientRect().width]`);
    check(`ratio 2: zoom ${zoom} and ${cssWidth} CSS pixels wide, not zoom 2 and 710`, zoom === 2 && cssWidth === 710);
    await play(page, "ratio 2");
    await done(page);
}

// Embedded: only the view, filling the page at 2 x 2 CSS pixels a pixel; paused, to compare with the canvas.
{
    const page = await load("embed", { width: 1280, height: 960 }, pageUrl + "?embed");
    await page.key(" ", "Space", 32);
    await sleep(300);
    const shot = await page.screenshot();
    writeFileSync(`${shots}/web_embed.png`, shot);
    const wrong = await page.evaluate(`(async () => {
        const bitmap = await createImageBitmap(await (await fetch("data:image/png;base64,${shot.toString("base64")}")).blob());
        if (bitmap.width !== 1280 || bitmap.height !== 960) return "a " + bitmap.width + " x " + bitmap.height + " screenshot";
        const g = new OffscreenCanvas(1280, 960).getContext("2d");
        g.drawImage(bitmap, 0, 0);
        const s = g.getImageData(0, 0, 1280, 960).data, v = modraTest.view();
        let wrong = 0;
        for (let i = 0; i < s.length; i += 4) {
            const p = i / 4, j = ((Math.floor(p / 1280) >> 1) * 640 + ((p % 1280) >> 1)) * 4;
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
