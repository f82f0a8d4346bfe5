// Listening in the page, in a Chromium whose fake devices play a click track (web_page.sh starts it so). On the
// paused view, where nothing else moves, what is heard shows as drops: L's inputs, a file dropped on the page and
// one chosen after O. A refusal, and a file the browser cannot decode, are said on the page, with no exception, and
// the toy plays on. R while the microphone is heard downloads a video with its sound into DOWNLOADS.
//   node --experimental-websocket web_listen.mjs DEVTOOLS_WS_URL PAGE_URL CLICK_WAV NOT_A_SOUND DOWNLOADS
import { execFileSync } from "node:child_process";
import { connect, nextDownload, openPage, sleep, verdict } from "./devtools.mjs";

const [browserUrl, pageUrl, clicks, notSound, downloads] = process.argv.slice(2);
const cdp = await connect(browserUrl);
const { check, done, tell, finish } = verdict("web_listen");

async function load(preload = "") {
    const page = await openPage(cdp, pageUrl, { width: 1000, height: 800, preload });
    await page.shown();
    return page;
}
const caption = (page) => page.evaluate(`document.getElementById("caption").textContent`);
// The caption shows `text` within five seconds; what it showed last, if not.
async function says(page, text) {
    const shown = await page.until(`document.getElementById("caption")?.textContent === ${JSON.stringify(text)}`, 5000);
    return shown ? text : caption(page);
}
const key = (page, letter) => page.key(letter, "Key" + letter.toUpperCase(), letter.toUpperCase().charCodeAt(0));
async function drop(page, file) {
    const [x, y] = await page.point([340, 260]);
    const data = { items: [], files: [file], dragOperationsMask: 1 };
    for (const type of ["dragEnter", "dragOver", "drop"])
        await page.send("Input.dispatchDragEvent", { type, x, y, data });
}
// Each way in, heard on the paused view.
async function heard(page, label, text) {
    const shown = await says(page, text);
    const n = shown === text ? await page.moved(1500) : 0;
    tell(`${label}: ${n} pixels changed in 1.5 s`);
    check(`${label}: not "${text}" but "${shown}", or nothing dropped`, shown === text && n > 0);
}

{
    const page = await load();
    await page.key(" ", "Space", 32);
    await sleep(300);
    await key(page, "l");
    // Chromium's fake screen sharing gives its fake sound too; where a browser gives none, the page says so.
    await sleep(1000);
    const shared = await caption(page);
    if (shared === "listening to this computer")
        await heard(page, "L, this computer", shared);
    else
        check(`L, this computer: the page says "${shared}"`, shared === "nothing to listen to");
    await key(page, "l");
    await heard(page, "L again, the microphone", "listening to the microphone");
    // R for a second: a video with the sound, in the container its name says.
    await cdp.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: downloads, eventsEnabled: true });
    const download = nextDownload(cdp);
    await key(page, "r");
    await sleep(1200);
    await key(page, "r");
    const file = await download;
    const probe = file ? execFileSync("ffprobe", ["-v", "error", "-of", "compact=p=0:nk=1", "-show_entries",
        "format=format_name:stream=codec_name,codec_type", `${downloads}/${file}`], { encoding: "utf8" }) : "";
    tell(`R with the microphone: "${await caption(page)}", ${file}: ${probe.trim().replace(/\n/g, ", ")}`);
    check(`R with the microphone: ${file} is no video with sound in the container its name says (${probe})`,
          file && /video/.test(probe) && /audio/.test(probe) && probe.includes(file.split(".").pop()));
    await key(page, "l");
    await says(page, "not listening");
    await drop(page, clicks);
    await heard(page, "a file dropped", "listening to a file");

    await key(page, "l");
    await page.send("Page.setInterceptFileChooserDialog", { enabled: true });
    const chooser = new Promise((resolve) => cdp.on((m) => m.method === "Page.fileChooserOpened" && resolve(m.params)));
    await key(page, "o");
    const { backendNodeId } = await Promise.race([chooser, sleep(5000).then(() => ({}))]);
    if (check("O opens the browser's dialog for a file", backendNodeId)) {
        await page.send("DOM.setFileInputFiles", { files: [clicks], backendNodeId });
        await heard(page, "a file chosen after O", "listening to a file");
    }
    await drop(page, notSound);
    const said = await says(page, "cannot play that file");
    check(`a file that is no sound: the page says "${said}"`, said === "cannot play that file");
    await done(page);
}

// Refused: the page says so, and plays on.
{
    const refuse = `for (const ask of ["getUserMedia", "getDisplayMedia"])
        navigator.mediaDevices[ask] = () => Promise.reject(new DOMException("refused", "NotAllowedError"));`;
    const page = await load(refuse);
    await key(page, "l");
    const sharing = await says(page, "sharing this computer's sound was refused");
    await key(page, "l");
    const microphone = await says(page, "the microphone was refused");
    const n = await page.moved(500);
    check(`refused: the page says ${JSON.stringify([sharing, microphone])} and ${n} pixels changed in 0.5 s`,
          sharing.endsWith("was refused") && microphone === "the microphone was refused" && n > 0);
    await done(page);
}

finish(cdp, "L, a dropped file and O are heard; refusals are said");
