// Plotrak's chat box. On the program's own page (the script tag carries
// data-plotrak-page) it fills the page; on any other site one tag
//   <script src="http://HOST:PORT/widget.js" defer></script>
// adds a floating button that opens the box. Everything the bot says is shown as text.
(function () {
  'use strict';
  var script = document.currentScript;
  if (!script || !script.src || window.__plotrakLoaded) return;
  window.__plotrakLoaded = true;

  var server = new URL(script.src, location.href);
  var pageMode = script.hasAttribute('data-plotrak-page');
  var socketUrl = (server.protocol === 'https:' ? 'wss://' : 'ws://') + server.host + '/ws?id=';
  var MAX_LENGTH = 2000;
  var MAX_TYPING_MS = 15000;
  var ID_KEY = 'plotrak-rozmowa';

  var TEXT = {
    open: 'Porozmawiaj z Plotrakiem',
    close: 'Zamknij rozmowę',
    title: 'Plotrak',
    log: 'Rozmowa z Plotrakiem',
    label: 'Twoja wiadomość',
    placeholder: 'Napisz coś do Plotraka…',
    send: 'Wyślij',
    me: 'Ty',
    bot: 'Plotrak',
    typing: 'Plotrak pisze...',
    hello: 'Cześć! Napisz coś, a Plotrak odpowie.',
    rate: 'Piszesz za szybko – odczekaj chwilę i wyślij jeszcze raz.',
    tooLong: 'Ta wiadomość jest za długa: najwyżej ' + MAX_LENGTH + ' znaków.',
    refused: 'Ta strona nie ma zgody na rozmowy z Plotrakiem.',
    badId: 'Nie udało się zacząć rozmowy. Odśwież stronę.',
    paused: 'Rozmowa była uśpiona. Napisz coś, a Plotrak znów odpowie.',
    stopped: 'Plotrak właśnie zamknął rozmowy. Spróbuj za chwilę.',
    offline: 'Nie mogę połączyć się z Plotrakiem. Spróbuj za chwilę.'
  };

  function conversationId() {
    var id = null;
    try { id = window.localStorage.getItem(ID_KEY); } catch (e) { id = null; }
    if (!id || !/^[A-Za-z0-9_-]{8,64}$/.test(id)) {
      var bytes = new Uint8Array(16);
      window.crypto.getRandomValues(bytes);
      id = Array.prototype.map.call(bytes, function (b) {
        return ('0' + b.toString(16)).slice(-2);
      }).join('');
      try { window.localStorage.setItem(ID_KEY, id); } catch (e) { /* private mode */ }
    }
    return id;
  }

  function element(tag, className, text) {
    var node = document.createElement(tag);
    if (className) node.className = className;
    if (text !== undefined) node.textContent = text;
    return node;
  }

  // --- the box -------------------------------------------------------------------------
  var host = pageMode ? document.getElementById('plotrak-page') : null;
  if (!host) {
    host = element('div');
    document.body.appendChild(host);
  }
  var holder = element('div', 'plotrak-host');
  holder.setAttribute('data-plotrak', '');
  host.appendChild(holder);
  var shadow = holder.attachShadow({ mode: 'open' });
  var sheet = element('link');
  sheet.rel = 'stylesheet';
  sheet.href = new URL('/plotrak.css', server).href;
  shadow.appendChild(sheet);

  var root = element('div', 'plotrak ' + (pageMode ? 'page' : 'widget'));
  shadow.appendChild(root);

  var launcher = null;
  var panel = element('section', 'panel');
  panel.id = 'plotrak-panel';
  panel.setAttribute('aria-label', TEXT.log);
  if (!pageMode) {
    launcher = element('button', 'launcher', TEXT.open);
    launcher.type = 'button';
    launcher.setAttribute('aria-expanded', 'false');
    launcher.setAttribute('aria-controls', panel.id);
    root.appendChild(launcher);
    panel.hidden = true;
  }
  root.appendChild(panel);

  var header = element('header', 'header');
  var face = element('img', 'face');
  face.alt = '';
  face.setAttribute('aria-hidden', 'true');
  face.width = 96;
  face.height = 96;
  var frames = [];
  for (var f = 1; f <= 7; ++f) {
    frames.push(new URL('/frames/' + f + '.jpg', server).href);
    if (f > 1) new Image().src = frames[f - 1];
  }
  face.src = frames[0];
  header.appendChild(face);
  header.appendChild(element('h2', 'name', TEXT.title));
  var closer = null;
  if (!pageMode) {
    closer = element('button', 'closer', '×');
    closer.type = 'button';
    closer.setAttribute('aria-label', TEXT.close);
    header.appendChild(closer);
  }
  panel.appendChild(header);

  var scroller = element('div', 'scroller');
  var log = element('div', 'log');
  log.setAttribute('role', 'log');
  log.setAttribute('aria-live', 'polite');
  log.setAttribute('aria-label', TEXT.log);
  var typingArea = element('div', 'typing');
  typingArea.setAttribute('aria-hidden', 'true');
  scroller.appendChild(log);
  scroller.appendChild(typingArea);
  panel.appendChild(scroller);

  var status = element('p', 'status');
  status.setAttribute('role', 'status');
  panel.appendChild(status);

  var form = element('form', 'form');
  form.setAttribute('autocomplete', 'off');
  var inputId = 'plotrak-input';
  var label = element('label', 'hidden-label', TEXT.label);
  label.htmlFor = inputId;
  var input = element('input', 'input');
  input.id = inputId;
  input.type = 'text';
  input.maxLength = MAX_LENGTH;
  input.placeholder = TEXT.placeholder;
  input.setAttribute('enterkeyhint', 'send');
  var sendButton = element('button', 'send', TEXT.send);
  sendButton.type = 'submit';
  form.appendChild(label);
  form.appendChild(input);
  form.appendChild(sendButton);
  panel.appendChild(form);

  function scrollDown() { scroller.scrollTop = scroller.scrollHeight; }

  function addLine(who, text) {
    var line = element('p', 'msg ' + who);
    line.appendChild(element('span', 'who', (who === 'me' ? TEXT.me : TEXT.bot) + ': '));
    line.appendChild(element('span', 'text', text));
    log.appendChild(line);
    scrollDown();
  }

  var notice = element('p', 'notice');
  function showNotice(text) {
    notice.textContent = text || '';
    notice.hidden = !text;
    if (text && !notice.parentNode) panel.insertBefore(notice, form);
  }
  showNotice('');
  addLine('bot', TEXT.hello);

  // --- typing out the answers ----------------------------------------------------------
  var answers = [];
  var typingNow = false;
  var waiting = 0;
  var frameTimer = null;
  var frameIndex = 0;

  var stillFrames = window.matchMedia && window.matchMedia('(prefers-reduced-motion: reduce)').matches;

  function animate(on) {
    if (on && !frameTimer && !stillFrames) {
      frameTimer = window.setInterval(function () {
        frameIndex = (frameIndex + 1) % frames.length;
        face.src = frames[frameIndex];
      }, 80);
    } else if (!on && frameTimer) {
      window.clearInterval(frameTimer);
      frameTimer = null;
      frameIndex = 0;
      face.src = frames[0];
    }
  }

  function showTyping() {
    var busy = typingNow || waiting > 0;
    status.textContent = busy ? TEXT.typing : '';
    root.classList.toggle('busy', busy);
    animate(typingNow);
  }

  function typeNext() {
    if (typingNow || answers.length === 0) { showTyping(); return; }
    var answer = answers.shift();
    var letters = Array.from(answer.text);
    var bubble = element('p', 'msg bot');
    bubble.appendChild(element('span', 'who', TEXT.bot + ': '));
    var shown = element('span', 'text');
    bubble.appendChild(shown);
    typingArea.appendChild(bubble);
    typingNow = true;
    showTyping();
    var count = 0;
    // A long answer speeds up so that none takes longer than MAX_TYPING_MS to appear.
    var pace = Math.min(answer.letterMs, MAX_TYPING_MS / Math.max(letters.length, 1));
    function step() {
      count = pace >= 1 ? count + 1 : letters.length;
      shown.textContent = letters.slice(0, count).join('');
      scrollDown();
      if (count < letters.length) {
        window.setTimeout(step, pace);
        return;
      }
      // The finished answer goes into the live region in one piece.
      typingArea.removeChild(bubble);
      addLine('bot', answer.text);
      typingNow = false;
      typeNext();
    }
    step();
  }

  // --- the conversation ----------------------------------------------------------------
  var id = conversationId();
  var socket = null;
  var outbox = [];
  var refused = false;

  function connect() {
    if (socket || refused) return;
    var ws = new WebSocket(socketUrl + encodeURIComponent(id));
    socket = ws;
    ws.onopen = function () {
      while (outbox.length) ws.send(outbox.shift());
    };
    ws.onmessage = function (event) {
      var frame;
      try { frame = JSON.parse(event.data); } catch (e) { return; }
      if (!frame || typeof frame !== 'object') return;
      if (frame.type === 'answer' && typeof frame.text === 'string') {
        waiting = Math.max(0, waiting - 1);
        var pace = Number(frame.letterMs);
        answers.push({ text: frame.text.length ? frame.text : '…',
                       letterMs: isFinite(pace) ? Math.min(Math.max(pace, 0), 2000) : 0 });
        typeNext();
      } else if (frame.type === 'notice') {
        waiting = Math.max(0, waiting - 1);
        showNotice(frame.code === 'rate' ? TEXT.rate : frame.code === 'too-long' ? TEXT.tooLong : '');
        showTyping();
      }
    };
    ws.onclose = function (event) {
      if (socket === ws) socket = null;
      var lost = waiting > 0 || outbox.length > 0;
      waiting = 0;
      outbox = [];
      if (event.code === 4003) {
        refused = true;
        input.disabled = true;
        sendButton.disabled = true;
        showNotice(TEXT.refused);
      } else if (event.code === 4000) {
        try { window.localStorage.removeItem(ID_KEY); } catch (e) { /* nothing kept */ }
        id = conversationId();
        showNotice(TEXT.badId);
      } else if (event.code === 4029) {
        showNotice(TEXT.rate);
      } else if (event.code === 4008) {
        if (lost) showNotice(TEXT.paused);
      } else if (event.code === 1001) {
        showNotice(TEXT.stopped);
      } else if (lost || event.code !== 1000) {
        showNotice(TEXT.offline);
      }
      showTyping();
    };
  }

  function send(text) {
    if (refused) return;
    if (Array.from(text).length > MAX_LENGTH) { showNotice(TEXT.tooLong); return; }
    showNotice('');
    addLine('me', text);
    waiting += 1;
    showTyping();
    if (socket && socket.readyState === WebSocket.OPEN) {
      socket.send(text);
    } else {
      outbox.push(text);
      connect();
    }
  }

  form.addEventListener('submit', function (event) {
    event.preventDefault();
    var text = input.value.trim();
    if (!text) return;
    input.value = '';
    send(text);
  });

  function setOpen(open) {
    if (!launcher) return;
    panel.hidden = !open;
    launcher.setAttribute('aria-expanded', open ? 'true' : 'false');
    root.classList.toggle('open', open);
    if (open) {
      connect();
      input.focus();
    } else {
      launcher.focus();
    }
  }

  if (launcher) {
    launcher.addEventListener('click', function () { setOpen(panel.hidden); });
    closer.addEventListener('click', function () { setOpen(false); });
    panel.addEventListener('keydown', function (event) {
      if (event.key === 'Escape') setOpen(false);
    });
  } else {
    connect();
    input.focus();
  }
})();
