// The page's sound as its tap (window.stropheTest.soundTap, src/audio/web/
// page_sound.js) records it: switching the tap on, taking what it kept, and
// two measures of a stretch of samples.
'use strict';

const kSampleRate = 44100;
// What a voice can sing (src/app/string_voice.cpp): 220 Hz on a straight
// stretch up to 4000 Hz on the tightest bend.
const kVoicePitches = { lowest: 220, highest: 4000 };

const soundTap = {
  // Keeps up to `seconds` of what the page hands to its output from now on.
  enable: (tab, seconds = 5) => tab.page.evaluate((s) => window.stropheTest.soundTap.enable(s), seconds),
  // The samples kept since the last take.
  take: (tab) => tab.page.evaluate(() => window.stropheTest.soundTap.take()),
  // Samples handed out since the page opened, kept or not.
  handedOut: (tab) => tab.page.evaluate(() => window.stropheTest.soundTap.handedOut),
};

function rms(samples) {
  let sum = 0;
  for (const x of samples) sum += x * x;
  return samples.length ? Math.sqrt(sum / samples.length) : 0;
}

// The strongest frequency between 100 and 6000 Hz in the last `window`
// samples, by a DFT on a 10 Hz grid under a Hann window.
function dominantFrequency(samples, window = 4096) {
  const part = samples.slice(-window);
  const n = part.length;
  let best = { frequency: NaN, power: -1 };
  for (let f = 100; f <= 6000; f += 10) {
    let re = 0, im = 0;
    const w = (2 * Math.PI * f) / kSampleRate;
    for (let i = 0; i < n; ++i) {
      const x = part[i] * (0.5 - 0.5 * Math.cos((2 * Math.PI * i) / (n - 1)));
      re += x * Math.cos(w * i);
      im -= x * Math.sin(w * i);
    }
    const power = re * re + im * im;
    if (power > best.power) best = { frequency: f, power };
  }
  return best.frequency;
}

module.exports = { kSampleRate, kVoicePitches, soundTap, rms, dominantFrequency };
