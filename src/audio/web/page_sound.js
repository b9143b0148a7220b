// The page's sound output (Module.stropheSound), which audio_loop_web.cpp
// opens and closes. An AudioWorklet plays a short queue of 512-frame buffers
// in its 128-frame quanta and asks the page over its port for more whenever
// the queue runs below kBuffersAhead; the page's main thread answers each ask
// by calling the program's renderAudio and posting the buffer. So the voices
// are synthesised on the thread that writes them, and the page needs neither
// shared memory nor cross-origin isolation: it stays a folder of static files.
//
// Browsers let a page's sound start only from a gesture: the context is made
// and resumed inside the first press, touch or key, and the toy is silent
// until then. A hidden page suspends it; shown again, the queue starts afresh
// (a new stream: the voices fade in). Where Web Audio or AudioWorklet is
// missing, or the worklet fails to start, the toy plays on silently.
//
// window.stropheTest.soundTap records what is handed to the output, for the
// tests and the benchmark: see makeTap.
Module["stropheSound"] = (function () {
  var kFrames = 512;
  var kSampleRate = 44100;
  // 4 × 11.6 ms: the main thread may be held 35 to 46 ms (a long frame, a
  // busy machine) before the queue runs dry, and a press is still heard within
  // a frame or three. With 3, a drag on a busy 2-core machine ran dry about
  // once a second (docs/MEASUREMENTS.md).
  var kBuffersAhead = 4;
  // On the window, in its capture phase: the page's own touch handling stops
  // the canvas's touches from going further down. Some browsers count a touch
  // as a gesture only when it lifts (touchend, pointerup).
  var kGestures = ["pointerdown", "pointerup", "touchend", "keydown"];

  // The worklet's side, loaded from a Blob URL made of this function's own
  // source: one file fewer in the site, and nothing to resolve against the
  // page's address. It runs on the browser's audio thread and sees none of
  // the names around it.
  function queueProcessor() {
    class StropheQueue extends AudioWorkletProcessor {
      constructor(options) {
        super();
        this.buffersAhead = options.processorOptions.buffersAhead;
        this.queue = [];
        this.offset = 0;   // frames of queue[0] already played
        this.asked = 0;    // buffers asked for and not yet come
        this.stream = 0;   // buffers of earlier streams are dropped
        // Silent until the queue is full, at a stream's start and after the
        // queue ran dry: played out as they come, the buffers would keep it
        // running dry.
        this.playing = false;
        this.underruns = 0;  // times the queue ran dry while playing
        this.port.onmessage = (event) => {
          var message = event.data;
          if (message.newStream !== undefined) {
            this.stream = message.newStream;
            this.queue = [];
            this.offset = 0;
            this.asked = 0;
            this.playing = false;
          } else if (message.stream === this.stream) {
            this.asked = Math.max(0, this.asked - 1);
            this.queue.push(message.samples);
            if (this.queue.length >= this.buffersAhead) this.playing = true;
          }
          this.ask();
        };
      }

      ask() {
        var wanted = this.buffersAhead - this.queue.length - this.asked;
        if (wanted <= 0) return;
        this.asked += wanted;
        this.port.postMessage({ want: wanted, stream: this.stream, underruns: this.underruns,
                                aheadFrames: this.queuedFrames() });
      }

      queuedFrames() {
        var frames = -this.offset;
        for (var i = 0; i < this.queue.length; ++i) frames += this.queue[i].length;
        return frames;
      }

      process(inputs, outputs) {
        var out = outputs[0][0];
        var written = 0;
        while (this.playing && written < out.length && this.queue.length > 0) {
          var head = this.queue[0];
          var n = Math.min(out.length - written, head.length - this.offset);
          out.set(head.subarray(this.offset, this.offset + n), written);
          written += n;
          this.offset += n;
          if (this.offset === head.length) {
            this.queue.shift();
            this.offset = 0;
          }
        }
        if (written < out.length) {
          out.fill(0, written);
          if (this.playing) {
            this.playing = false;
            this.underruns++;
          }
        }
        this.ask();
        return true;
      }
    }
    registerProcessor("strophe-queue", StropheQueue);
  }

  // What the page handed to the output, kept while a test or a benchmark has
  // it on: at most maxSeconds of samples (older ones are dropped), and when
  // the first audible sample was handed out after the last press.
  function makeTap() {
    var kAudible = 1e-3;
    var on = false, samples = null, kept = 0, start = 0, pressAt = NaN, firstAudible = null;
    return {
      enable: function (maxSeconds) {
        var capacity = Math.round(Math.min(Math.max(Number(maxSeconds) || 10, 0.1), 60) * kSampleRate);
        samples = new Float32Array(capacity);
        kept = 0;
        start = 0;
        on = true;
      },
      disable: function () {
        on = false;
        samples = null;
      },
      // The samples recorded since the last take, oldest first, as an array.
      take: function () {
        if (!samples) return [];
        var out = new Array(kept);
        for (var i = 0; i < kept; ++i) out[i] = samples[(start + i) % samples.length];
        kept = 0;
        start = 0;
        return out;
      },
      // The last press (performance.now() when it happened), and the first
      // buffer with an audible sample handed out after it: when it was handed
      // out, where in the buffer the sample is (ms), and how much sound was
      // queued ahead of it (ms). null until there is one.
      pressed: function (time) {
        pressAt = time;
        firstAudible = null;
      },
      firstAudible: function () {
        return firstAudible;
      },
      // The context's own latency, seconds, after the worklet's queue.
      contextLatency: function () {
        return { baseLatency: (context && context.baseLatency) || 0, outputLatency: (context && context.outputLatency) || 0 };
      },
      handedOut: 0,  // samples handed to the output since the page opened, on or off
      underruns: 0,  // times the worklet's queue ran dry
      record: function (buffer, aheadFrames) {
        this.handedOut += buffer.length;
        if (firstAudible === null && !isNaN(pressAt)) {
          for (var j = 0; j < buffer.length; ++j) {
            if (Math.abs(buffer[j]) >= kAudible) {
              firstAudible = { pressAt: pressAt, handedOutAt: performance.now(), sampleMs: (j * 1000) / kSampleRate,
                               aheadMs: (aheadFrames * 1000) / kSampleRate };
              break;
            }
          }
        }
        if (!on) return;
        for (var i = 0; i < buffer.length; ++i) {
          samples[(start + kept) % samples.length] = buffer[i];
          if (kept < samples.length) kept++;
          else start = (start + 1) % samples.length;
        }
      },
    };
  }

  var render = null;  // (firstOfStream, streamSeconds) → pointer to kFrames floats
  var context = null, node = null, stream = 0, streamStarts = true, streamFrames = 0, failed = false;
  var tap = makeTap();

  function fail(why) {
    if (failed) return;
    failed = true;
    err("Error message: the page's sound did not start: " + why);
  }

  function handOut(message) {
    if (!render || document.hidden || message.stream !== stream) return;
    var wanted = Math.min(message.want, kBuffersAhead);
    for (var i = 0; i < wanted; ++i) {
      var pointer = render(streamStarts ? 1 : 0, streamFrames / kSampleRate);
      streamStarts = false;
      streamFrames += kFrames;
      var samples = HEAPF32.slice(pointer >> 2, (pointer >> 2) + kFrames);
      tap.record(samples, message.aheadFrames + i * kFrames);
      node.port.postMessage({ stream: stream, samples: samples }, [samples.buffer]);
    }
  }

  function startStream() {
    stream++;
    streamStarts = true;
    streamFrames = 0;
    node.port.postMessage({ newStream: stream });
  }

  function onGesture(event) {
    if (event.type === "pointerdown") tap.pressed(event.timeStamp);
    if (!render || failed) return;
    if (!context) {
      var Context = window.AudioContext || window.webkitAudioContext;
      if (!Context || typeof AudioWorkletNode === "undefined") {
        failed = true;  // nothing to play through: silent, as before
        return;
      }
      try {
        context = new Context({ sampleRate: kSampleRate, latencyHint: "interactive" });
      } catch (e) {
        fail(e.message);
        return;
      }
      if (!context.audioWorklet) {
        failed = true;
        return;
      }
      var url = URL.createObjectURL(new Blob(["(" + queueProcessor + ")();"], { type: "text/javascript" }));
      context.audioWorklet.addModule(url).then(function () {
        URL.revokeObjectURL(url);
        if (!context) return;  // closed meanwhile
        node = new AudioWorkletNode(context, "strophe-queue", {
          numberOfInputs: 0, numberOfOutputs: 1, outputChannelCount: [1],
          processorOptions: { buffersAhead: kBuffersAhead },
        });
        node.port.onmessage = function (e) {
          tap.underruns = e.data.underruns;
          handOut(e.data);
        };
        node.connect(context.destination);
        startStream();
      }).catch(function (e) {
        fail(e.message);
        close();
      });
    }
    if (context.state !== "running" && !document.hidden) context.resume().catch(function () {});
  }

  function onVisibilityChange() {
    if (!context) return;
    if (document.hidden) {
      context.suspend().catch(function () {});
    } else {
      if (node) startStream();
      context.resume().catch(function () {});
    }
  }

  function close() {
    render = null;
    kGestures.forEach(function (type) { window.removeEventListener(type, onGesture, true); });
    document.removeEventListener("visibilitychange", onVisibilityChange);
    if (context) context.close().catch(function () {});
    context = null;
    node = null;
  }

  return {
    open: function () {
      if (render) return;
      render = Module["_strophe_sound_render"];
      kGestures.forEach(function (type) { window.addEventListener(type, onGesture, true); });
      document.addEventListener("visibilitychange", onVisibilityChange);
      if (window.stropheTest) window.stropheTest.soundTap = tap;
    },
    close: close,
  };
})();

// What the page's backend calls when the program can play no more (it stopped,
// or lost its WebGL context): the last voices would otherwise sing on.
Module["stropheSilence"] = Module["stropheSound"].close;
