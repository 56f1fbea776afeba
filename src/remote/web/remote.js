// SPDX-License-Identifier: GPL-3.0-or-later
// The phone remote: pairs with the program, mirrors its live controls from the event stream and
// sends the phone's changes back. Plain script, no framework: the program serves it from its
// resources and the phone may have no internet access.
"use strict";

(function () {
  const TOKEN_KEY = "kdsp.remote.token";

  // What the page shows, in its order. Ranges come from the program; these only name and place.
  const LEVELS = [
    { field: "masterMusic", label: "Music", panel: "masters", mute: "outputMutes.controlMusic" },
    { field: "masterMic", label: "Mic", panel: "masters", mute: "outputMutes.controlMic" },
    { field: "masterEffect", label: "Effect", panel: "masters" },
    { field: "echoA.level", label: "Echo", panel: "effects" },
    { field: "revLevel", label: "Reverb", panel: "effects" },
  ];
  const OUTPUTS = [
    { field: "outputMutes.main left", label: "Main L" },
    { field: "outputMutes.main right", label: "Main R" },
    { field: "outputMutes.center", label: "Center" },
    { field: "outputMutes.subwoofer", label: "Sub" },
    { field: "outputMutes.surround left", label: "Surr L" },
    { field: "outputMutes.surround right", label: "Surr R" },
  ];
  const MUSIC_INPUT = "musicInput";

  // Reconnection waits, in seconds; the last repeats. A little jitter keeps several phones from
  // knocking at the same moment after the program restarts.
  const BACKOFF = [1, 2, 4, 8, 15];
  // After a fader comes to rest, echoes of the values it sent on the way may still be in flight;
  // they are waited for this long at most.
  const ECHO_WINDOW_MS = 2000;
  // A preset button stays armed this long after the first tap.
  const ARM_MS = 4000;

  const $ = (id) => document.getElementById(id);

  // ---- Texts: the program's translation of the page's English, from /texts.json ----

  const TEXTS = {};
  // The text in the program's language; %1 takes the value given.
  function t(english, value) {
    const text = Object.prototype.hasOwnProperty.call(TEXTS, english) ? TEXTS[english] : english;
    // A function, so a "$" in the value is taken as it is.
    return value === undefined ? text : text.replace("%1", () => String(value));
  }

  async function loadTexts() {
    try {
      const response = await fetch("/texts.json", { cache: "no-store" });
      const json = await response.json();
      if (response.ok && json && typeof json.texts === "object") Object.assign(TEXTS, json.texts);
      if (response.ok && json && typeof json.language === "string")
        document.documentElement.lang = json.language;
    } catch (e) {
      // Without its translations the page stays English.
    }
    // The English of each marked element is kept as its key, so the page can be translated again.
    for (const el of document.querySelectorAll("[data-text]")) {
      if (!el.dataset.text) el.dataset.text = el.textContent;
      el.textContent = t(el.dataset.text);
    }
    for (const el of document.querySelectorAll("[data-text-label]"))
      el.setAttribute("aria-label", t(el.dataset.textLabel));
  }

  // ---- The program's state, as the event stream last told it ----

  const model = {
    settings: {},
    link: "disconnected",
    source: "",
    modified: false,
    ranges: {},
    slots: [],
  };
  let streamOpen = false; // the event stream is open and its first state has arrived

  // ---- Requests ----

  function token() {
    try {
      return localStorage.getItem(TOKEN_KEY) || "";
    } catch (e) {
      return memoryToken;
    }
  }
  let memoryToken = "";
  function storeToken(value) {
    memoryToken = value;
    try {
      if (value) localStorage.setItem(TOKEN_KEY, value);
      else localStorage.removeItem(TOKEN_KEY);
    } catch (e) {
      // Private browsing may refuse storage; the token then lives as long as the page.
    }
  }

  class RequestError extends Error {
    constructor(status, message, body) {
      super(message);
      this.status = status;
      this.body = body || {};
    }
  }

  // POSTs (or GETs without a body) to the API; resolves with the JSON answer, rejects with a
  // RequestError whose message is fit to show. 401 drops the pairing.
  async function api(path, body) {
    const init = { method: body === undefined ? "GET" : "POST", headers: {}, cache: "no-store" };
    if (body !== undefined) {
      init.headers["Content-Type"] = "application/json";
      init.body = JSON.stringify(body);
    }
    const t = token();
    if (t) init.headers["Authorization"] = "Bearer " + t;
    let response;
    try {
      response = await fetch(path, init);
    } catch (e) {
      throw new RequestError(0, t("The PC cannot be reached."));
    }
    let json = {};
    try {
      json = await response.json();
    } catch (e) {
      json = {};
    }
    if (response.ok) return json;
    if (response.status === 401 && path !== "/api/v1/pair") {
      unpaired(t("The program no longer knows this phone. Enter the new code to pair again."));
    }
    throw new RequestError(response.status, errorText(response.status, json), json);
  }

  // The program's own words when it gave some, else what the status means.
  function errorText(status, json) {
    // The program's words end as a sentence of its language ends.
    if (json && typeof json.error === "string" && json.error) return t("%1.", capitalise(json.error));
    if (status === 409) return t("The processor is not connected.");
    if (status === 504) return t("The processor did not answer.");
    return t("The program answered with error %1.", status);
  }

  function capitalise(text) {
    return text.charAt(0).toUpperCase() + text.slice(1).replace(/\.$/, "");
  }

  // ---- Toast ----

  let toastTimer = 0;
  function toast(text) {
    const el = $("toast");
    el.textContent = text;
    el.hidden = false;
    clearTimeout(toastTimer);
    toastTimer = setTimeout(() => (el.hidden = true), 4000);
  }

  // ---- Screens ----

  function showPairing(message) {
    $("remoteScreen").hidden = true;
    $("pairScreen").hidden = false;
    $("pairMessage").textContent = message || "";
    renderLink();
    const code = $("code");
    code.value = "";
    updatePairButton();
    code.focus();
  }

  function showRemote() {
    $("pairScreen").hidden = true;
    $("remoteScreen").hidden = false;
    renderLink();
  }

  function unpaired(message) {
    storeToken("");
    stream.stop();
    showPairing(message);
  }

  // ---- Pairing ----

  let pairBlockedUntil = 0;
  let pairTimer = 0;
  let pairing = false;

  function updatePairButton() {
    const ready = /^\d{6}$/.test($("code").value);
    const blocked = Date.now() < pairBlockedUntil;
    $("pairButton").disabled = !ready || blocked || pairing;
    $("code").disabled = blocked;
  }

  function waitBeforeTrying(seconds) {
    pairBlockedUntil = Date.now() + seconds * 1000;
    clearInterval(pairTimer);
    const tick = () => {
      const left = Math.ceil((pairBlockedUntil - Date.now()) / 1000);
      if (left <= 0) {
        clearInterval(pairTimer);
        $("pairMessage").textContent = t("You can try again now.");
        updatePairButton();
        $("code").focus();
        return;
      }
      $("pairMessage").textContent =
        left === 1
          ? t("Too many wrong codes. Try again in 1 second.")
          : t("Too many wrong codes. Try again in %1 seconds.", left);
      updatePairButton();
    };
    tick();
    pairTimer = setInterval(tick, 250);
  }

  async function pair() {
    const code = $("code").value;
    if (!/^\d{6}$/.test(code) || pairing) return;
    pairing = true;
    updatePairButton();
    $("pairMessage").textContent = t("Pairing…");
    try {
      const answer = await api("/api/v1/pair", { code: code });
      if (typeof answer.token !== "string" || !answer.token) {
        throw new RequestError(0, t("The program gave no token."));
      }
      storeToken(answer.token);
      $("pairMessage").textContent = "";
      showRemote();
      stream.start();
    } catch (e) {
      $("code").value = "";
      if (e.status === 429) {
        const wait = Number(e.body.retryAfter);
        waitBeforeTrying(Number.isFinite(wait) && wait > 0 ? wait : 1);
      } else if (e.status === 403) {
        $("pairMessage").textContent = t("Wrong code. Check the code in the program's main window.");
      } else {
        $("pairMessage").textContent = e.message;
      }
    } finally {
      pairing = false;
      updatePairButton();
      if (!$("pairScreen").hidden && !$("code").disabled) $("code").focus();
    }
  }

  $("code").addEventListener("input", () => {
    const digits = $("code").value.replace(/\D/g, "").slice(0, 6);
    if (digits !== $("code").value) $("code").value = digits;
    if (digits.length > 0 && Date.now() >= pairBlockedUntil) $("pairMessage").textContent = "";
    updatePairButton();
    if (digits.length === 6) pair();
  });
  $("pairForm").addEventListener("submit", (event) => {
    event.preventDefault();
    pair();
  });

  // ---- The event stream ----

  const stream = {
    socket: null,
    attempt: 0,
    retryAt: 0,
    retryTimer: 0,
    countdownTimer: 0,
    wanted: false,

    start() {
      this.wanted = true;
      this.attempt = 0;
      this.open();
    },

    stop() {
      this.wanted = false;
      clearTimeout(this.retryTimer);
      clearInterval(this.countdownTimer);
      this.retryAt = 0;
      if (this.socket) {
        const s = this.socket;
        this.socket = null;
        s.onclose = s.onmessage = s.onerror = null;
        s.close();
      }
      setStreamOpen(false);
    },

    open() {
      clearTimeout(this.retryTimer);
      clearInterval(this.countdownTimer);
      this.retryAt = 0;
      if (!this.wanted || this.socket) return;
      const scheme = location.protocol === "https:" ? "wss://" : "ws://";
      const url =
        scheme + location.host + "/api/v1/events?token=" + encodeURIComponent(token());
      let socket;
      try {
        socket = new WebSocket(url);
      } catch (e) {
        this.scheduleRetry();
        return;
      }
      this.socket = socket;
      renderLink();
      socket.onmessage = (event) => {
        let message;
        try {
          message = JSON.parse(event.data);
        } catch (e) {
          return;
        }
        if (message.type === "state") {
          this.attempt = 0;
          applyState(message);
          setStreamOpen(true);
        } else if (message.type === "fields") {
          applyFields(message.fields || {});
        } else if (message.type === "status") {
          applyStatus(message);
        }
      };
      socket.onclose = (event) => {
        if (this.socket !== socket) return;
        this.socket = null;
        setStreamOpen(false);
        if (event.code === 4401) {
          unpaired(t("The program made a new code. Enter it to pair this phone again."));
          return;
        }
        this.scheduleRetry();
      };
    },

    scheduleRetry() {
      if (!this.wanted) return;
      const base = BACKOFF[Math.min(this.attempt, BACKOFF.length - 1)];
      this.attempt += 1;
      const delay = base * 1000 * (1 + Math.random() * 0.3);
      this.retryAt = Date.now() + delay;
      this.retryTimer = setTimeout(() => this.open(), delay);
      clearInterval(this.countdownTimer);
      this.countdownTimer = setInterval(renderLink, 500);
      renderLink();
    },

    // The phone woke up or came back on the network: do not wait for the back-off.
    retryNow() {
      if (this.wanted && !this.socket) {
        this.attempt = 0;
        this.open();
      }
    },
  };

  $("retryNow").addEventListener("click", () => stream.retryNow());
  document.addEventListener("visibilitychange", () => {
    if (document.visibilityState === "visible") stream.retryNow();
  });
  window.addEventListener("online", () => stream.retryNow());

  function setStreamOpen(open) {
    streamOpen = open;
    renderLink();
    renderEnabled();
  }

  // ---- Link state ----

  function renderLink() {
    const el = $("link");
    const text = $("linkText");
    let kind;
    let words;
    if (!$("pairScreen").hidden) {
      kind = "idle";
      words = t("Not paired");
    } else if (streamOpen && model.link === "connected") {
      kind = "on";
      words = t("Processor linked");
    } else if (streamOpen) {
      kind = "warn";
      words = t("Processor not connected");
    } else if (stream.socket) {
      kind = "busy";
      words = t("Connecting to the PC…");
    } else {
      kind = "off";
      words = t("PC not reachable");
    }
    el.dataset.state = kind;
    text.textContent = words;

    const banner = $("reconnect");
    if (!$("remoteScreen").hidden && !streamOpen && !stream.socket && stream.retryAt) {
      const left = Math.max(0, Math.ceil((stream.retryAt - Date.now()) / 1000));
      $("reconnectText").textContent =
        left === 1
          ? t("Lost the connection to the PC. Trying again in 1 second.")
          : t("Lost the connection to the PC. Trying again in %1 seconds.", left);
      banner.hidden = false;
    } else if (!$("remoteScreen").hidden && !streamOpen && stream.socket) {
      $("reconnectText").textContent = t("Connecting to the PC…");
      banner.hidden = false;
    } else {
      banner.hidden = true;
    }
  }

  // Controls only act when the program is in reach and linked to the processor.
  function renderEnabled() {
    const live = streamOpen && model.link === "connected";
    document.body.classList.toggle("offline", !live);
    for (const control of controls.values()) control.setEnabled(live);
    for (const button of $("presets").querySelectorAll("button")) button.disabled = !live;
  }

  // ---- Applying what the program says ----

  function applyState(state) {
    model.settings = Object.assign({}, state.settings || {});
    model.link = state.link || "disconnected";
    model.source = state.source || "";
    model.modified = !!state.modified;
    model.ranges = state.ranges || {};
    model.slots = Array.isArray(state.slots) ? state.slots : [];
    buildControls();
    buildPresets();
    for (const control of controls.values()) {
      // A field the program does not offer is not shown, rather than shown without a value.
      control.root.hidden = !(control.field in model.settings);
      control.fromProgram(model.settings[control.field]);
    }
    $("outputPanel").hidden = OUTPUTS.every((entry) => !(entry.field in model.settings));
    renderSource();
    renderEnabled();
  }

  function applyFields(fields) {
    for (const [field, value] of Object.entries(fields)) {
      model.settings[field] = value;
      const control = controls.get(field);
      if (control) control.fromProgram(value);
    }
  }

  function applyStatus(status) {
    if ("link" in status) model.link = status.link;
    if ("source" in status) model.source = status.source;
    if ("modified" in status) model.modified = !!status.modified;
    if ("ranges" in status && status.ranges) {
      model.ranges = status.ranges;
      for (const control of controls.values()) control.setRange(model.ranges[control.field]);
    }
    renderSource();
    renderLink();
    renderEnabled();
  }

  function renderSource() {
    $("source").textContent = model.source || "—";
    $("modified").hidden = !model.modified;
  }

  // ---- Sending: at most one request per field in flight, the latest value wins ----

  class Sender {
    // onSettled(result) once the last value has been answered; onAnswer(result), if given, after
    // every answer on the way.
    constructor(field, onSettled, onAnswer) {
      this.field = field;
      this.onSettled = onSettled;
      this.onAnswer = onAnswer || (() => {});
      this.inFlight = false;
      this.pending = undefined;
    }
    busy() {
      return this.inFlight || this.pending !== undefined;
    }
    send(value) {
      this.pending = value;
      if (!this.inFlight) this.next();
    }
    async next() {
      const value = this.pending;
      this.pending = undefined;
      this.inFlight = true;
      let result = { ok: true, sent: value, changed: {} };
      try {
        const answer = await api("/api/v1/set", { [this.field]: value });
        result.changed = answer.changed || {};
      } catch (e) {
        result = { ok: false, sent: value, error: e };
      }
      this.inFlight = false;
      this.onAnswer(result);
      // Whatever else the program changed with it (a clamp, a linked field) shows at once.
      for (const [field, changed] of Object.entries(result.changed || {})) {
        if (field === this.field) continue;
        model.settings[field] = changed;
        const other = controls.get(field);
        if (other) other.fromProgram(changed);
      }
      if (this.pending !== undefined && result.ok) {
        this.next();
        return;
      }
      this.pending = undefined;
      this.onSettled(result);
    }
  }

  // ---- Controls ----

  const controls = new Map(); // field -> control

  // A level's range as the program gives it; until it does, the last one known (or 0..100).
  function rangeFrom(r, previous) {
    if (r && Number.isFinite(r.min) && Number.isFinite(r.max) && r.max >= r.min) {
      return { min: r.min, max: r.max, step: r.step > 0 ? r.step : 1 };
    }
    return previous || { min: 0, max: 100, step: 1 };
  }

  function formatNumber(value, step) {
    if (!Number.isFinite(value)) return "–";
    const decimals = step > 0 && step < 1 ? Math.min(3, Math.ceil(-Math.log10(step))) : 0;
    return value.toFixed(decimals);
  }

  // A level: a horizontal fader moved by dragging (relative, so a touch never makes the level
  // jump), or by the keys when focused. While the finger is on it, and until the values it sent
  // have been answered, changes from the PC wait; the finger is never fought.
  class Fader {
    constructor(entry, host) {
      this.field = entry.field;
      this.range = rangeFrom(undefined, null);
      this.value = undefined; // what the fader shows
      this.program = undefined; // what the event stream last said
      this.held = false;
      // The events trail the answers: the program tells of each change on its next tick, on
      // another connection. Until the stream has told the value last confirmed (caughtUp),
      // an event with a value this fader sent is an echo of the phone's own move; any other
      // value is the PC's.
      this.sent = new Set();
      this.confirmed = undefined; // the value the program's last answer holds
      this.failed = false; // the last request was refused
      this.caughtUp = true;
      this.pcValue = undefined; // a change made on the PC while this fader was engaged
      this.echoUntil = 0; // after it, echoes are no longer waited for
      this.sender = new Sender(
        entry.field,
        () => this.settled(),
        (result) => this.answered(result)
      );

      const row = document.createElement("div");
      row.className = "level";
      this.root = row;
      row.dataset.field = entry.field;
      const head = document.createElement("div");
      head.className = "level-head";
      const label = document.createElement("span");
      label.className = "label";
      label.id = "label-" + cssId(entry.field);
      label.textContent = t(entry.label);
      this.readout = document.createElement("output");
      this.readout.className = "readout";
      this.readout.setAttribute("aria-hidden", "true");
      head.append(label, this.readout);

      const body = document.createElement("div");
      body.className = "level-body";
      this.el = document.createElement("div");
      this.el.className = "fader";
      this.el.id = "fader-" + cssId(entry.field);
      this.el.tabIndex = 0;
      this.el.setAttribute("role", "slider");
      this.el.setAttribute("aria-labelledby", label.id);
      this.track = document.createElement("div");
      this.track.className = "track";
      this.fill = document.createElement("div");
      this.fill.className = "fill";
      this.track.append(this.fill);
      // Where the PC has put the level while the finger holds the fader.
      this.ghost = document.createElement("div");
      this.ghost.className = "ghost";
      this.ghost.hidden = true;
      this.knob = document.createElement("div");
      this.knob.className = "knob";
      this.el.append(this.track, this.knob, this.ghost);
      body.append(this.el);
      row.append(head, body);
      host.append(row);
      this.body = body;

      this.el.addEventListener("pointerdown", (e) => this.down(e));
      this.el.addEventListener("pointermove", (e) => this.move(e));
      this.el.addEventListener("pointerup", (e) => this.up(e));
      this.el.addEventListener("pointercancel", (e) => this.up(e));
      this.el.addEventListener("lostpointercapture", (e) => this.up(e));
      this.el.addEventListener("keydown", (e) => this.key(e));
      this.setRange(model.ranges[entry.field]);
    }

    engaged() {
      return this.held || this.sender.busy();
    }

    setEnabled(on) {
      this.enabled = on;
      this.el.classList.toggle("disabled", !on);
      this.el.setAttribute("aria-disabled", on ? "false" : "true");
      if (!on && this.held) this.release();
    }

    setRange(r) {
      this.range = rangeFrom(r, this.range);
      this.el.setAttribute("aria-valuemin", String(this.range.min));
      this.el.setAttribute("aria-valuemax", String(this.range.max));
      this.render();
    }

    clamp(v) {
      const { min, max, step } = this.range;
      const snapped = min + Math.round((v - min) / step) * step;
      return Math.min(max, Math.max(min, Number(snapped.toFixed(6))));
    }

    fromProgram(value) {
      if (typeof value !== "number") return;
      this.program = value;
      const engaged = this.engaged();
      if (!this.caughtUp && !engaged && performance.now() > this.echoUntil) this.caughtUp = true;
      if (!this.caughtUp) {
        if (value === this.confirmed && !this.sender.busy()) {
          this.caughtUp = true;
          return;
        }
        if (this.sent.has(value)) return;
      }
      if (engaged) {
        this.pcValue = value;
        this.renderGhost();
        return;
      }
      this.value = value;
      this.render();
    }

    render() {
      const { step } = this.range;
      const v = this.value;
      const known = typeof v === "number";
      this.el.style.setProperty("--at", known ? this.fraction(v).toFixed(4) : "0");
      this.readout.textContent = known ? formatNumber(v, step) : "–";
      this.el.setAttribute("aria-valuenow", known ? String(v) : "");
      this.el.setAttribute("aria-valuetext", known ? formatNumber(v, step) : "unknown");
      this.renderGhost();
    }

    fraction(v) {
      const { min, max } = this.range;
      return max > min ? (Math.min(max, Math.max(min, v)) - min) / (max - min) : 0;
    }

    // The PC's value, marked on the track while the finger keeps the fader its own; it goes
    // when the finger is lifted and the fader shows what the program holds.
    renderGhost() {
      const p = this.pcValue;
      const show = this.engaged() && typeof p === "number" && p !== this.value;
      this.ghost.hidden = !show;
      if (show) {
        this.el.style.setProperty("--pc", this.fraction(p).toFixed(4));
        this.el.dataset.pc = String(p);
      } else {
        delete this.el.dataset.pc;
      }
    }

    // Pixels of travel for the whole range: the track less the knob.
    travel() {
      return Math.max(1, this.el.clientWidth - this.knob.offsetWidth);
    }

    down(e) {
      if (!this.enabled || this.held || (e.pointerType === "mouse" && e.button !== 0)) return;
      if (typeof this.value !== "number") return;
      e.preventDefault();
      this.held = true;
      this.pointerId = e.pointerId;
      this.startX = e.clientX;
      this.startValue = this.value;
      this.startGesture();
      this.el.classList.add("held");
      try {
        this.el.setPointerCapture(e.pointerId);
      } catch (err) {
        // Capture is a nicety: moves over the fader still arrive without it.
      }
    }

    move(e) {
      if (!this.held || e.pointerId !== this.pointerId) return;
      e.preventDefault();
      const { min, max } = this.range;
      const v = this.clamp(this.startValue + ((e.clientX - this.startX) / this.travel()) * (max - min));
      this.change(v);
    }

    up(e) {
      if (!this.held || e.pointerId !== this.pointerId) return;
      this.release();
    }

    release() {
      this.held = false;
      this.el.classList.remove("held");
      if (!this.sender.busy()) this.settled();
    }

    key(e) {
      if (!this.enabled || typeof this.value !== "number") return;
      const { min, max, step } = this.range;
      const big = Math.max(step, (max - min) / 10);
      const moves = {
        ArrowRight: step, ArrowUp: step, ArrowLeft: -step, ArrowDown: -step,
        PageUp: big, PageDown: -big,
      };
      let v;
      if (e.key in moves) v = this.value + moves[e.key];
      else if (e.key === "Home") v = min;
      else if (e.key === "End") v = max;
      else return;
      e.preventDefault();
      if (!this.sender.busy()) this.startGesture();
      this.change(this.clamp(v));
    }

    // A new gesture forgets the last one's values once the stream has caught up with them.
    startGesture() {
      if (this.sender.busy()) return;
      if (this.caughtUp) this.sent = new Set();
      this.confirmed = undefined;
      this.failed = false;
      this.pcValue = undefined;
    }

    change(v) {
      if (v === this.value) return;
      this.value = v;
      this.sent.add(v);
      this.caughtUp = false;
      // The phone's newer value replaces a change the PC made before it.
      this.pcValue = undefined;
      this.render();
      this.sender.send(v);
    }

    answered(result) {
      if (result.ok) {
        // The answer names the value when it changed; else the program already held it.
        this.confirmed = this.field in result.changed ? result.changed[this.field] : result.sent;
        this.sent.add(this.confirmed);
        this.failed = false;
        if (this.program === this.confirmed && !this.sender.busy()) this.caughtUp = true;
      } else {
        this.failed = true;
        toast(result.error.message);
      }
    }

    // The finger is up and every value sent has been answered: the fader shows what the program
    // holds, which is the PC's change if one came meanwhile, else the phone's last value.
    settled() {
      if (this.engaged()) return;
      if (typeof this.pcValue === "number") this.value = this.pcValue;
      else if (this.failed || this.confirmed === undefined) this.value = this.program;
      else this.value = this.confirmed;
      this.pcValue = undefined;
      this.echoUntil = performance.now() + ECHO_WINDOW_MS;
      this.render();
    }
  }

  // A control whose value is set by one tap: the program's value shows unless a tap's request
  // is still on its way, and the answer to the tap has the last word.
  class TappedControl {
    fromProgram(value) {
      if (!this.takes(value)) return;
      this.program = value;
      if (!this.sender.busy()) {
        this.value = value;
        this.render();
      }
    }
    settled(result) {
      if (result.ok && this.field in result.changed) this.program = result.changed[this.field];
      else if (result.ok) this.program = result.sent;
      else toast(result.error.message);
      this.value = this.program;
      this.render();
    }
  }

  // An on/off switch: lit while the sound is on. One request per tap; the program's answer (or
  // event) has the last word.
  class Toggle extends TappedControl {
    constructor(entry, host, className) {
      super();
      this.field = entry.field;
      this.value = undefined;
      this.el = document.createElement("button");
      this.el.type = "button";
      this.el.className = className;
      this.root = this.el;
      this.el.id = "switch-" + cssId(entry.field);
      this.el.dataset.field = entry.field;
      this.el.setAttribute("aria-label", entry.aria);
      this.el.innerHTML = '<span class="lamp" aria-hidden="true"></span><span class="name"></span><span class="state"></span>';
      this.el.querySelector(".name").textContent = entry.label ? t(entry.label) : "";
      host.append(this.el);
      this.sender = new Sender(entry.field, (result) => this.settled(result));
      this.el.addEventListener("click", () => {
        if (!this.enabled || typeof this.value !== "boolean") return;
        this.value = !this.value;
        this.render();
        this.sender.send(this.value);
      });
    }
    setEnabled(on) {
      this.enabled = on;
      this.el.disabled = !on;
    }
    setRange() {}
    takes(value) {
      return typeof value === "boolean";
    }
    render() {
      const on = this.value === true;
      this.el.classList.toggle("on", on);
      this.el.classList.toggle("unknown", typeof this.value !== "boolean");
      this.el.setAttribute("aria-pressed", on ? "true" : "false");
      this.el.querySelector(".state").textContent =
        typeof this.value !== "boolean" ? "–" : on ? t("On") : t("Muted");
    }
  }

  // A choice among named positions (the music input): the lit button is the program's.
  class Choice extends TappedControl {
    constructor(field, host) {
      super();
      this.field = field;
      this.host = host;
      this.root = host.closest(".panel");
      this.value = undefined;
      this.names = [];
      this.sender = new Sender(field, (result) => this.settled(result));
      this.setRange(model.ranges[field]);
    }
    setEnabled(on) {
      this.enabled = on;
      for (const b of this.host.children) b.disabled = !on;
    }
    setRange(r) {
      const names = r && Array.isArray(r.choices) ? r.choices.map(String) : [];
      if (names.join("\n") === this.names.join("\n")) return;
      this.names = names;
      this.host.textContent = "";
      for (const name of names) {
        const b = document.createElement("button");
        b.type = "button";
        b.className = "choice";
        b.textContent = name;
        b.dataset.value = name;
        b.setAttribute("role", "radio");
        b.addEventListener("click", () => {
          if (!this.enabled || this.value === name) return;
          this.value = name;
          this.render();
          this.sender.send(name);
        });
        this.host.append(b);
      }
      this.setEnabled(this.enabled);
      this.render();
    }
    takes(value) {
      return value !== undefined;
    }
    render() {
      for (const b of this.host.children) {
        const on = b.dataset.value === String(this.value);
        b.classList.toggle("on", on);
        b.setAttribute("aria-checked", on ? "true" : "false");
      }
    }
  }

  function cssId(field) {
    return field.replace(/[^A-Za-z0-9]+/g, "-");
  }

  // Builds the controls once; later states only update them, so a finger on a fader keeps it.
  function buildControls() {
    if (controls.size) {
      for (const control of controls.values()) control.setRange(model.ranges[control.field]);
      return;
    }
    for (const entry of LEVELS) {
      const fader = new Fader(entry, $(entry.panel));
      controls.set(entry.field, fader);
      if (entry.mute) {
        const toggle = new Toggle(
          { field: entry.mute, label: "", aria: t("%1 sound", t(entry.label)) },
          fader.body,
          "mute"
        );
        controls.set(entry.mute, toggle);
      }
    }
    for (const entry of OUTPUTS) {
      controls.set(
        entry.field,
        new Toggle(
          { field: entry.field, label: entry.label, aria: t("%1 output", t(entry.label)) },
          $("outputs"),
          "switch"
        )
      );
    }
    controls.set(MUSIC_INPUT, new Choice(MUSIC_INPUT, $("musicInput")));
    for (const control of controls.values()) control.setEnabled(false);
  }

  // ---- Presets: one tap arms, a second recalls ----

  let armed = null;
  let armTimer = 0;

  function buildPresets() {
    const host = $("presets");
    const key = JSON.stringify(model.slots);
    if (host.dataset.key === key) return;
    host.dataset.key = key;
    host.textContent = "";
    disarm();
    if (!model.slots.length) {
      const none = document.createElement("p");
      none.className = "hint small";
      none.textContent = t("The program offers no presets.");
      host.append(none);
      return;
    }
    for (const slot of model.slots) {
      const b = document.createElement("button");
      b.type = "button";
      b.className = "preset";
      b.dataset.slot = String(slot.slot);
      const number = document.createElement("span");
      number.className = "slot";
      number.textContent = String(slot.slot);
      const name = document.createElement("span");
      name.className = "name";
      // A slot still named by its number reads as a preset, not as the number twice.
      const named = slot.name && slot.name.trim() !== String(slot.slot);
      name.textContent = named ? slot.name : t("Preset %1", slot.slot);
      b.append(number, name);
      b.addEventListener("click", () => presetTapped(b, slot));
      host.append(b);
    }
  }

  function disarm() {
    clearTimeout(armTimer);
    if (armed) {
      armed.classList.remove("armed");
      const name = armed.querySelector(".name");
      if (name.dataset.name) name.textContent = name.dataset.name;
    }
    armed = null;
  }

  async function presetTapped(button, slot) {
    if (button.classList.contains("busy")) return;
    if (armed !== button) {
      disarm();
      armed = button;
      const name = button.querySelector(".name");
      name.dataset.name = name.textContent;
      name.textContent = t("Tap again to recall");
      button.classList.add("armed");
      armTimer = setTimeout(disarm, ARM_MS);
      return;
    }
    disarm();
    button.classList.add("busy");
    try {
      await api("/api/v1/recall", { slot: slot.slot });
      toast(t("Recalled %1.", button.querySelector(".name").textContent));
    } catch (e) {
      toast(e.message);
    } finally {
      button.classList.remove("busy");
    }
  }

  $("unpair").addEventListener("click", () => unpaired(t("This phone is no longer paired.")));

  // ---- Start ----

  // The texts come first, so the page never shows one language and then the other.
  loadTexts().then(() => {
    if (token()) {
      showRemote();
      stream.start();
    } else {
      showPairing("");
    }
  });
})();
