// The page as an app on a phone: kept by a service worker (sw.js) so that it
// starts with no network and can be added to the home screen, and the
// functions that only a key reaches on a desktop in a menu under a finger.
// Nothing here shows on a desktop, and in the page's background modes
// (?embed, a wallpaper) there is neither.
"use strict";
(() => {
  if (document.body.classList.contains("embed") || document.getElementById("frame").hidden) return;

  // Where a page may have a worker (https, or this computer's own address); elsewhere, file:// say, none.
  // Only once the toy runs, when its files are all in the browser's cache: the worker's copy of them
  // then costs a question to the server each, where on a first visit it would fetch them a second time.
  if ("serviceWorker" in navigator && window.isSecureContext && /^https?:$/.test(location.protocol)) {
    const started = Module.modraStarted;
    Module.modraStarted = () => {
      started();
      navigator.serviceWorker.register("sw.js").catch(() => {});
    };
  }

  // The phone's arrangement of the windows (a finger, a small screen: most likely no keyboard), as the
  // page chose it at the start: `phone` on <body> says so to the page's styles and scripts.
  document.body.classList.toggle("phone", !!Module.modraPhone);

  // Each item hands the toy its key, pressed and let go, where the keyboard's would arrive: the same
  // function, and the tap is the user's gesture the browser asks of the clipboard, the microphone and
  // its file dialog.
  const items = [
    ["Save the picture", "S"],
    ["Record a video, or stop", "R"],
    ["Play by itself, or stop", "A"],
    ["Listen: device, microphone, off", "L"],
    ["Listen to a sound file", "O"],
    ["Copy this replay's link", "K"],
    ["All the keys", "F1"],
  ];
  // A letter, or a function key.
  const press = (shortcut) => {
    const letter = shortcut.length === 1;
    const key = letter ? shortcut.toLowerCase() : shortcut, code = letter ? "Key" + shortcut : shortcut;
    const keyCode = letter ? shortcut.charCodeAt(0) : 111 + Number(shortcut.slice(1));
    for (const type of ["keydown", "keyup"])
      window.dispatchEvent(new KeyboardEvent(type, { key, code, keyCode, which: keyCode, bubbles: true, cancelable: true }));
  };

  const style = document.createElement("style");
  // touch-action: quick taps one after another are taps, not a double tap the browser waits out.
  style.textContent = `
    #keys-open, #keys { display: none; }
    #keys-open, #keys button { touch-action: manipulation; }
    body.phone #keys-open { display: block; position: fixed; top: max(.5em, env(safe-area-inset-top));
      right: max(.5em, env(safe-area-inset-right)); width: 48px; height: 48px; padding: 12px;
      color: #fff; background: rgba(32, 32, 32, .75); border: 1px solid rgba(255, 255, 255, .6); border-radius: 8px; }
    body.phone #keys-open svg { display: block; width: 100%; height: 100%; }
    body.phone #keys:not([hidden]) { display: flex; flex-direction: column; gap: 6px; position: fixed;
      top: calc(max(.5em, env(safe-area-inset-top)) + 56px); right: max(.5em, env(safe-area-inset-right));
      max-width: calc(100vw - 1em); max-height: calc(100vh - 5em); overflow-y: auto; }
    #keys button { display: flex; justify-content: space-between; align-items: center; gap: 1em; min-height: 48px;
      padding: .4em .9em; font: 17px/1.2 sans-serif; text-align: left; color: #fff; background: rgba(32, 32, 32, .9);
      border: 1px solid rgba(255, 255, 255, .6); border-radius: 8px; }
    #keys kbd { font: inherit; color: #b0b0b0; }
  `;
  document.head.appendChild(style);

  const open = document.createElement("button");
  open.id = "keys-open";
  open.type = "button";
  open.setAttribute("aria-label", "Menu: what the keys do");
  open.setAttribute("aria-expanded", "false");
  open.setAttribute("aria-controls", "keys");
  open.innerHTML = '<svg viewBox="0 0 24 24" aria-hidden="true"><path d="M3 5h18M3 12h18M3 19h18" ' +
                   'stroke="currentColor" stroke-width="2.5" stroke-linecap="round"/></svg>';
  const menu = document.createElement("div");
  menu.id = "keys";
  menu.hidden = true;
  const shown = (on) => {
    menu.hidden = !on;
    open.setAttribute("aria-expanded", String(on));
  };
  for (const [label, shortcut] of items) {
    const item = document.createElement("button");
    item.type = "button";
    item.dataset.key = shortcut;
    item.append(label, Object.assign(document.createElement("kbd"), { textContent: shortcut }));
    item.addEventListener("click", () => {
      shown(false);
      press(shortcut);
    });
    menu.appendChild(item);
  }
  open.addEventListener("click", () => shown(menu.hidden));
  // A tap beside the open menu only closes it: it drops nothing on the picture.
  window.addEventListener("pointerdown", (e) => {
    if (menu.hidden || menu.contains(e.target) || open.contains(e.target)) return;
    shown(false);
    e.stopPropagation();
    e.preventDefault();
  }, true);
  // A tablet's keyboard: Esc closes it too, and goes on to the toy as ever.
  window.addEventListener("keydown", (e) => { if (e.key === "Escape") shown(false); }, true);
  document.body.append(open, menu);
})();
