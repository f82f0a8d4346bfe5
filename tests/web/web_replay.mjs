// Replays in the page: a session under the browser's own mouse and keys kept by K as a link, opened again with
// &at=N and run on with Tab, held at frame N as modra-render draws it from the same link; then a click takes
// over. A damaged link is refused on the page, and a link the browser will not copy is shown to copy.
//   node --experimental-websocket web_replay.mjs DEVTOOLS_WS_URL PAGE_URL MODRA_RENDER SHOTS_DIR WORK_DIR
import { execFileSync } from "node:child_process";
import { writeFileSync } from "node:fs";
import { connect, openPage, readPpm, replayOf, sleep, unlike, verdict } from "./devtools.mjs";

const [browserUrl, pageUrl, render, shots, work] = process.argv.slice(2);
const cdp = await connect(browserUrl);
const { check, done, tell, finish } = verdict("web_replay");
const size = { width: 1000, height: 800 };
const boxText = `document.getElementById("box").open ? document.querySelector("#box pre").textContent : ""`;

// A session: drags of both buttons and a rule key, then K.
await cdp.send("Browser.grantPermissions", { origin: new URL(pageUrl).origin,
                                             permissions: ["clipboardReadWrite", "clipboardSanitizedWrite"] });
let link = "";
{
    const page = await openPage(cdp, pageUrl, size);
    await page.shown();
    await page.drag("left", [100, 100], Array.from({ length: 30 }, (_, i) => [100 + 15 * i, 100 + 10 * i]));
    await page.key("w", "KeyW", 87);
    await page.drag("left", [600, 450], [[500, 300], [300, 200], [200, 400]]);
    await page.drag("right", [400, 300], [[425, 275], [450, 250]]);
    await sleep(3000);
    await page.key("k", "KeyK", 75);
    link = await page.copied();
    check(`K copies a link to the page's replay (${link.slice(0, 80)}), and says so (${await page.evaluate("document.title")})`,
          link.startsWith(pageUrl + "#replay=") && (await page.evaluate("document.title")).includes("copied"));
    await done(page);
}

// The link's replay lasts until its end record; held a second before it, past every drag.
const { frames } = replayOf(link);
tell(`a session of ${frames} frames kept in a link of ${link.length} characters`);
if (check(`the link holds a replay of more than 180 frames (${frames})`, frames > 180)) {
    const at = frames - 60, held = `${link}&at=${at}`;
    const page = await openPage(cdp, held, size);
    await page.shown();
    const tab = Date.now();
    await page.key("Tab", "Tab", 9);
    const stopped = await page.until(`document.title.includes("held at frame ${at}")`, 10000);
    const seconds = (Date.now() - tab) / 1000;
    tell(`Tab ran ${at} frames in ${seconds} s`);
    check(`Tab runs the replay on to its frame ${at}: held after ${seconds} s, not under ${(at / 120).toFixed(1)}`,
          stopped && seconds < at / 120);
    writeFileSync(`${shots}/web_replay_held.png`, await page.screenshot());
    execFileSync(render, ["--replay", held, "--frames", String(at), "--window", `${work}/held.ppm`]);
    const ppm = readPpm(`${work}/held.ppm`), drawn = await page.pixels();
    const wrong = drawn.width === ppm.width && drawn.height === ppm.height ? unlike(drawn, ppm) : NaN;
    check(`held, the ${drawn.width} x ${drawn.height} canvas is modra-render's ${ppm.width} x ${ppm.height} window ` +
          `for the same link: ${wrong} pixels differ`, wrong === 0);
    await page.click([340, 260]);
    check("a click takes over: frames run again", (await page.moved(300)) > 0);
    await done(page);
}

// A damaged link: said on the page, and the toy starts fresh. Its K, where the browser will not copy: the link in the box.
{
    const page = await openPage(cdp, pageUrl + "#replay=garbage", { ...size, preload:
        "navigator.clipboard.writeText = () => Promise.reject(new DOMException('refused', 'NotAllowedError'))" });
    const shown = await page.shown();
    const message = await page.until(`(${boxText}).includes("cannot be played")`, 5000) && await page.evaluate(boxText);
    check(`a damaged link is refused on the page (${JSON.stringify(message)}), and the toy starts`,
          shown && message === "This link's replay cannot be played: it is damaged or cut short.");
    writeFileSync(`${shots}/web_replay_refused.png`, await page.screenshot());
    await page.evaluate(`document.getElementById("box").close()`);
    await page.key("k", "KeyK", 75);
    check("K where the browser will not copy shows the link to copy by hand",
          await page.until(`(${boxText}).startsWith(${JSON.stringify(pageUrl + "#replay=")})`, 5000));
    await done(page);
}

finish(cdp, "K keeps a link that plays, holds and runs on as modra-render's; a bad one is refused");
