// Sound coming in, in a page, through the Web Audio API: what this computer
// plays is what the user shares through the browser's screen sharing
// (getDisplayMedia; the picture is stopped at once), or in a wallpaper
// (Module.modraWallpaper set) the spectrum its host hears, which the page
// hands to Module.modraSpectrum as it comes; the microphone is
// getUserMedia's, and a file is the one the host keeps from a drop or O
// (Module.modraSoundFile), decoded by the browser and played to the
// speakers. An AudioWorklet taps the sound, or a ScriptProcessorNode where
// the browser has no AudioWorklet, and posts blocks to the main thread,
// where they wait for the host's next poll. Neither tap sends anything to
// the speakers: they output silence, connected only so the browser runs them.
// Limitations:
//  - the browser asks for permission after open_sound_input has returned,
//    so a refusal comes later, through `ended`
//  - browsers share a computer's sound only along with a screen or a tab,
//    some only a tab's, some none at all: "nothing to listen to" then
//  - blocks that wait more than about two seconds (a hidden page makes no
//    passes) are dropped, the oldest first; spectra after a quarter of one
//  - a host says nothing of how often its spectrum comes: the rate is
//    measured, taken as 30 a second until enough of them have come
#include "platform/sound_input.h"
#include "platform/web/web_sound_input.h"

#include <emscripten.h>

#include <array>

namespace {

constexpr int block_frames = 512;  // about a hop: the sound reaches the field within a frame of it

// Why an input ended, as the page's side reports it.
enum Ending : int {
    still_going,
    nothing,
    microphone_refused,
    sharing_refused,
    cannot_play,
    file_ended,
    went_away,
};
constexpr const char* endings[] = {
    "",
    "nothing to listen to",
    "the microphone was refused",
    "sharing this computer's sound was refused",
    "cannot play that file",
    "the file has ended",
    "the sound input went away",
};

struct PageInput {
    bool open = false;
    SoundInputCalls calls;
    std::array<float, block_frames * 2> block{};
    std::array<float, 2048> spectrum{};
};

PageInput input;

// clang-format off
// The page's side keeps its state in Module.modraSound; `token` tells the
// answers to an input that was closed since from those to the one open.
EM_JS(bool, sound_open, (int which, int frames), {
    const AudioContextClass = window.AudioContext || window.webkitAudioContext;
    const devices = navigator.mediaDevices;
    const file = Module.modraSoundFile;
    const host = which === 0 && !!Module.modraWallpaper;
    if (!AudioContextClass && !host) return false;
    if (which === 0 && !host && !(devices && devices.getDisplayMedia)) return false;
    if (which === 1 && !(devices && devices.getUserMedia)) return false;
    if (which === 2 && !file) return false;

    const S = Module.modraSound || (Module.modraSound = {token: 0, blocks: [], spectra: [], ending: 0, nodes: []});
    const token = ++S.token;
    const live = () => token === S.token;
    const end = (why) => { if (live() && !S.ending) S.ending = why; };
    if (host) {
        S.rate = 30;
        const arrivals = [];
        Module.modraSpectrum = (values, channels) => {
            if (!live()) return;
            const now = performance.now();
            arrivals.push(now);
            while (now - arrivals[0] > 2000) arrivals.shift();
            if (arrivals.length >= 20) {
                const measured = Math.round((arrivals.length - 1) * 1000 / (now - arrivals[0]));
                // Only a clear change: each one starts the analysis afresh.
                if (Math.abs(measured - S.rate) > S.rate / 5) S.rate = Math.min(Math.max(measured, 10), 200);
            }
            S.spectra.push({values: Float32Array.from(values), channels});
            if (S.spectra.length > 8) S.spectra.shift();
        };
        return true;
    }
    if (!S.context) S.context = new AudioContextClass();
    const context = S.context;
    context.resume().catch(() => {});
    // A browser starts no sound before the user has pressed something on
    // the page, and a dropped file may come first.
    const wake = () => { if (live()) context.resume().catch(() => {}); };
    for (const press of ["pointerdown", "keydown"]) window.addEventListener(press, wake, {once: true});

    // The tap: blocks of `frames` stereo frames, interleaved.
    const heard = (block) => {
        if (!live()) return;
        S.blocks.push(block);
        if (S.blocks.length > 200) S.blocks.shift();
    };
    const processor = () => {
        registerProcessor("modra-tap", class extends AudioWorkletProcessor {
            constructor(options) {
                super();
                this.frames = options.processorOptions.frames;
                this.block = new Float32Array(this.frames * 2);
                this.at = 0;
            }
            process(inputs) {
                const sound = inputs[0];
                if (!sound.length) return true;
                const left = sound[0], right = sound[sound.length > 1 ? 1 : 0];
                for (let i = 0; i < left.length; ++i) {
                    this.block[2 * this.at] = left[i];
                    this.block[2 * this.at + 1] = right[i];
                    if (++this.at === this.frames) {
                        this.port.postMessage(this.block, [this.block.buffer]);
                        this.block = new Float32Array(this.frames * 2);
                        this.at = 0;
                    }
                }
                return true;
            }
        });
    };
    if (!S.ready)
        S.ready = context.audioWorklet
            ? context.audioWorklet.addModule(URL.createObjectURL(
                  new Blob(["(" + processor.toString() + ")()"], {type: "text/javascript"})))
            : Promise.resolve();
    // `stream` is the sound as a MediaStream, which a recording in the page
    // adds to its own (capture/toy_recording_web.cpp): the two meet at
    // Module.modraListening, set while something is heard.
    const tap = (source, stream) => S.ready.then(() => {
        if (!live()) return;
        let node;
        if (context.audioWorklet) {
            node = new AudioWorkletNode(context, "modra-tap", {
                numberOfInputs: 1, numberOfOutputs: 1, outputChannelCount: [2],
                channelCount: 2, channelCountMode: "explicit", processorOptions: {frames}});
            node.port.onmessage = (m) => heard(m.data);
        } else {
            node = context.createScriptProcessor(frames, 2, 2);
            node.onaudioprocess = (e) => {
                const left = e.inputBuffer.getChannelData(0), right = e.inputBuffer.getChannelData(1);
                const block = new Float32Array(left.length * 2);
                for (let i = 0; i < left.length; ++i) {
                    block[2 * i] = left[i];
                    block[2 * i + 1] = right[i];
                }
                heard(block);
                for (let c = 0; c < e.outputBuffer.numberOfChannels; ++c) e.outputBuffer.getChannelData(c).fill(0);
            };
        }
        source.connect(node);
        node.connect(context.destination);
        S.nodes = [source, node];
        Module.modraListening = stream;
    });

    if (which === 2) {
        file.arrayBuffer().then((bytes) => context.decodeAudioData(bytes)).then((sound) => {
            if (!live()) return;
            const source = context.createBufferSource();
            source.buffer = sound;
            source.connect(context.destination);
            source.onended = () => end(5 /* file_ended */);
            const out = context.createMediaStreamDestination();
            source.connect(out);
            return tap(source, out.stream).then(() => {
                if (!live()) return;
                source.start();
                S.playing = source;
            });
        }).catch(() => end(4 /* cannot_play */));
        return true;
    }
    let asked;
    try {
        asked = which === 0 ? devices.getDisplayMedia({audio: true, video: true}) : devices.getUserMedia({audio: true});
    } catch (e) {
        asked = Promise.reject(e);  // an older browser's way of refusing
    }
    asked.then((stream) => {
        if (!live()) {
            stream.getTracks().forEach((t) => t.stop());
            return;
        }
        S.stream = stream;
        stream.getVideoTracks().forEach((t) => t.stop());
        const sound = stream.getAudioTracks();
        if (!sound.length) return end(1 /* nothing */);
        sound[0].addEventListener("ended", () => end(6 /* went_away */));
        return tap(context.createMediaStreamSource(stream), stream);
    }).catch((e) => {
        const refused = e && e.name === "NotAllowedError";
        end(!refused ? 1 /* nothing */ : which === 0 ? 3 /* sharing_refused */ : 2 /* microphone_refused */);
    });
    return true;
});

EM_JS(void, sound_close, (), {
    const S = Module.modraSound;
    if (!S) return;
    ++S.token;
    S.blocks = [];
    S.spectra = [];
    S.ending = 0;
    Module.modraSpectrum = null;
    if (S.stream) S.stream.getTracks().forEach((t) => t.stop());
    if (S.playing) S.playing.stop();
    S.nodes.forEach((n) => n.disconnect());
    S.stream = S.playing = Module.modraListening = null;
    S.nodes = [];
    if (S.context) S.context.suspend().catch(() => {});
});

// The oldest block waiting, copied to `to`: its frames, or 0 for none.
EM_JS(int, sound_take, (float* to), {
    const block = Module.modraSound.blocks.shift();
    if (!block) return 0;
    HEAPF32.set(block, to >> 2);
    return block.length / 2;
});

EM_JS(int, sound_rate, (), { return Module.modraSound.context.sampleRate; });

// The oldest spectrum waiting, its channels one after the other in `to`
// (up to `room` values) and their number in `channels`: its bins a
// channel, or 0 for none.
EM_JS(int, spectrum_take, (float* to, int room, int* channels), {
    const spectrum = Module.modraSound.spectra.shift();
    if (!spectrum) return 0;
    const count = spectrum.channels === 2 ? 2 : 1;
    const bins = Math.floor(Math.min(spectrum.values.length, room) / count);
    HEAPF32.set(spectrum.values.subarray(0, bins * count), to >> 2);
    HEAP32[channels >> 2] = count;
    return bins;
});

EM_JS(int, spectrum_rate, (), { return Module.modraSound.rate; });

// Why the input ended, once; 0 while it goes on.
EM_JS(int, sound_ending, (), {
    const why = Module.modraSound.ending;
    Module.modraSound.ending = 0;
    return why;
});
// clang-format on

}  // namespace

bool open_sound_input(SoundInput which, const SoundInputCalls& calls, std::string& error)
{
    close_sound_input();
    if (!sound_open(static_cast<int>(which), block_frames)) {
        error = endings[nothing];
        return false;
    }
    input.open = true;
    input.calls = calls;
    return true;
}

void close_sound_input()
{
    if (input.open)
        sound_close();
    input.open = false;
    input.calls = {};
}

void web_sound_input_poll()
{
    if (!input.open)
        return;
    for (int frames; input.open && (frames = sound_take(input.block.data())) > 0;)
        if (input.calls.block)
            input.calls.block(input.block.data(), frames, 2, sound_rate());
    float* const spectrum = input.spectrum.data();
    for (int channels = 1, bins; input.open && (bins = spectrum_take(spectrum, static_cast<int>(input.spectrum.size()),
                                                                     &channels)) > 0;)
        if (input.calls.spectrum)
            input.calls.spectrum(spectrum, channels == 2 ? spectrum + bins : nullptr, bins, spectrum_rate());
    const int why = input.open ? sound_ending() : still_going;
    if (why == still_going)
        return;
    const SoundInputCalls calls = input.calls;
    close_sound_input();
    if (calls.ended)
        calls.ended(endings[why]);
}
