// SPDX-License-Identifier: MIT
// The page's side of Sabrota in the browser: it builds the window from the design table the
// model hands over, passes every event to the model one at a time, and draws what the binder
// says has changed. While a message box is open the model waits inside the event that opened
// it; every other event waits in the queue until it has ended.
'use strict';

const Page = (() => {
  const kCaption = 1, kText = 2, kColors = 4, kEnabled = 8, kVisible = 16;
  const Kind = {Caption: 0, Value: 1, TextBox: 2, ComboBox: 3, ListBox: 4, Button: 5};
  const memoKey = 'sabrota.ip-memo.txt';
  const design = kDesign;
  const rows = [];  // the element of each design row
  const armed = new Map();  // timer number -> interval id
  const queue = [];
  let busy = false;
  let maskInput = null, maskList = null;
  const list = {box: null, inner: null, count: 0, selected: -1, perColumn: 1, column: 1, line: 16};

  // One event at a time into the model; a box keeps the event it came from open.
  function send(name, argTypes, args, returns) {
    return new Promise((resolve) => {
      queue.push({name, argTypes, args, returns, resolve});
      drain();
    });
  }
  let ready = false;  // the WebAssembly has started
  async function drain() {
    if (busy || !ready) return;
    busy = true;
    while (queue.length) {
      const e = queue.shift();
      // A tick of a timer that was turned off while it waited is dropped, as a desktop timer
      // that is killed does not fire.
      if (e.name === 'sabrota_tick' && !armed.has(e.args[0])) { e.resolve(null); continue; }
      let result = null;
      try {
        result = await Promise.resolve(
            Module.ccall(e.name, e.returns || null, e.argTypes, e.args, {async: true}));
      } catch (err) {
        console.error(err);
      }
      e.resolve(result);
    }
    busy = false;
  }

  function el(tag, props, parent) {
    const e = document.createElement(tag);
    Object.assign(e, props || {});
    if (parent) parent.appendChild(e);
    return e;
  }

  function place(e, r) {
    Object.assign(e.style, {left: r.x + 'px', top: r.y + 'px', width: r.w + 'px',
                            height: r.h + 'px', fontFamily: r.face, fontSize: r.px + 'px',
                            fontWeight: r.bold ? 'bold' : 'normal',
                            fontStyle: r.italic ? 'italic' : 'normal'});
    e.classList.add('control');
    if (r.framed) e.classList.add('framed');
    if (r.centred) e.classList.add('centred');
  }

  function build(win) {
    const byId = new Map(design.rows.map((r, i) => [r.id + ':' + r.index, i]));
    const made = new Set();
    // The controls that take the focus first, in the design's keyboard order.
    const order = design.tab.map((id) => byId.get(id + ':0'));
    const rest = design.rows.map((r, i) => i).filter((i) => !order.includes(i));
    for (const i of order.concat(rest)) {
      if (made.has(i)) continue;
      made.add(i);
      rows[i] = make(design.rows[i], win);
    }
  }

  function make(r, win) {
    let e;
    switch (r.kind) {
      case Kind.TextBox:
        e = el('input', {type: 'text', maxLength: 3, autocomplete: 'off', spellcheck: false}, win);
        e.setAttribute('inputmode', 'numeric');
        e.setAttribute('aria-label', r.label);
        e.addEventListener('input', () => send('sabrota_typed', ['number', 'string'], [r.id, e.value]));
        e.addEventListener('paste', (ev) => paste(ev, e, r));
        break;
      case Kind.ComboBox:
        e = makeMask(r, win);
        break;
      case Kind.ListBox:
        e = makeList(r, win);
        break;
      case Kind.Button:
        e = el('button', {type: 'button', textContent: r.text}, win);
        e.addEventListener('click', () => send('sabrota_click', ['number'], [r.click]));
        // A held Enter does not run the command again and again.
        e.addEventListener('keydown', (ev) => { if (ev.key === 'Enter' && ev.repeat) ev.preventDefault(); });
        break;
      default:
        if (r.click) {
          e = el('a', {href: design.home, textContent: r.text, rel: 'noopener', target: '_blank'}, win);
          e.addEventListener('click', (ev) => { ev.preventDefault(); send('sabrota_click', ['number'], [r.click]); });
        } else {
          e = el('div', {textContent: r.text}, win);
          if (r.kind === Kind.Value) e.setAttribute('role', 'note');
          if (r.label && r.kind === Kind.Value) e.setAttribute('aria-label', r.label + ' 空');
        }
    }
    place(e, r);
    e.dataset.name = r.name + (r.index ? '(' + r.index + ')' : '');
    return e;
  }

  // A whole address pasted into an octet box fills the window; anything else is typed.
  async function paste(ev, e, r) {
    const text = (ev.clipboardData || window.clipboardData).getData('text');
    ev.preventDefault();
    if (await send('sabrota_pasted', ['string'], [text], 'number')) return;
    const start = e.selectionStart, end = e.selectionEnd;
    e.value = (e.value.slice(0, start) + text + e.value.slice(end)).slice(0, 3);
    send('sabrota_typed', ['number', 'string'], [r.id, e.value]);
  }

  function makeMask(r, win) {
    const box = el('div', {className: 'mask'}, win);
    maskInput = el('input', {type: 'text', autocomplete: 'off', spellcheck: false}, box);
    maskInput.setAttribute('role', 'combobox');
    maskInput.setAttribute('aria-label', r.label);
    maskInput.setAttribute('aria-expanded', 'false');
    maskInput.setAttribute('aria-controls', 'masklist');
    maskInput.setAttribute('aria-autocomplete', 'none');
    const drop = el('button', {type: 'button', tabIndex: -1, textContent: '▼'}, box);
    drop.setAttribute('aria-hidden', 'true');
    maskList = el('ul', {id: 'masklist', hidden: true}, win);
    maskList.setAttribute('role', 'listbox');
    maskList.setAttribute('aria-label', r.label);
    // Below the box, as far down as the window goes; the rest of the items scroll.
    Object.assign(maskList.style, {left: r.x + 'px', top: (r.y + r.h) + 'px', width: r.w + 'px',
                                   maxHeight: (design.height - r.y - r.h) + 'px',
                                   fontFamily: r.face, fontSize: r.px + 'px'});
    design.masks.forEach((m, i) => {
      const o = el('li', {id: 'mask' + i, textContent: m}, maskList);
      o.setAttribute('role', 'option');
      o.addEventListener('mousedown', (ev) => { ev.preventDefault(); choose(i); });
    });
    const open = (on) => {
      maskList.hidden = !on;
      maskInput.setAttribute('aria-expanded', String(on));
      const chosen = maskList.querySelector('[aria-selected="true"]');
      if (on && chosen) chosen.scrollIntoView({block: 'nearest'});
    };
    const choose = (i) => { open(false); send('sabrota_mask_chosen', ['number'], [i]); };
    drop.addEventListener('mousedown', (ev) => { ev.preventDefault(); maskInput.focus(); open(maskList.hidden); });
    maskInput.addEventListener('blur', () => open(false));
    maskInput.addEventListener('input', () => send('sabrota_mask_typed', ['string'], [maskInput.value]));
    maskInput.addEventListener('keydown', (ev) => {
      const current = design.masks.indexOf(maskInput.value);
      if ((ev.key === 'ArrowDown' && ev.altKey) || ev.key === 'F4') { open(maskList.hidden); ev.preventDefault(); }
      else if (ev.key === 'ArrowDown' || ev.key === 'ArrowUp') {
        const next = Math.max(0, Math.min(design.masks.length - 1, current + (ev.key === 'ArrowDown' ? 1 : -1)));
        send('sabrota_mask_chosen', ['number'], [next]);
        ev.preventDefault();
      } else if ((ev.key === 'Enter' || ev.key === 'Escape') && !maskList.hidden) { open(false); ev.preventDefault(); }
    });
    return box;
  }

  // The networks: entries top to bottom, three columns in view, scrolled sideways. Only the
  // columns in view are made, whatever the list's length.
  function makeList(r, win) {
    const box = el('div', {id: 'list', tabIndex: 0}, win);
    box.setAttribute('role', 'listbox');
    box.setAttribute('aria-label', r.label);
    box.setAttribute('aria-orientation', 'horizontal');
    list.box = box;
    list.inner = el('div', {className: 'inner'}, box);
    list.line = Math.ceil(r.px * 1.25);
    list.perColumn = Math.max(1, Math.floor((r.h - 20) / list.line));
    list.column = Math.floor((r.w - 4) / 3);
    box.addEventListener('scroll', () => render());
    box.addEventListener('keydown', (ev) => {
      const step = {ArrowDown: 1, ArrowUp: -1, ArrowRight: list.perColumn, ArrowLeft: -list.perColumn,
                    Home: -list.count, End: list.count}[ev.key];
      if (step === undefined || list.count === 0) return;
      ev.preventDefault();
      select(Math.max(0, Math.min(list.count - 1, (list.selected < 0 ? 0 : list.selected) + step)), true);
    });
    box.addEventListener('mousedown', (ev) => {
      const o = ev.target.closest('[role=option]');
      if (o) select(Number(o.dataset.row), true);
    });
    return box;
  }

  function select(row, byUser) {
    list.selected = row;
    if (byUser) send('sabrota_list_chosen', ['number'], [row]);
    const left = Math.floor(row / list.perColumn) * list.column;
    if (left < list.box.scrollLeft || left + list.column > list.box.scrollLeft + list.box.clientWidth)
      list.box.scrollLeft = Math.max(0, left - list.column);
    render();
  }

  function render() {
    const {box, inner, count, perColumn, column, line} = list;
    const first = Math.floor(box.scrollLeft / column);
    const frag = document.createDocumentFragment();
    const last = Math.min(count, (first + 4) * perColumn);
    for (let row = first * perColumn; row < last; ++row) {
      const o = document.createElement('div');
      o.setAttribute('role', 'option');
      o.id = 'net' + row;
      o.dataset.row = row;
      o.setAttribute('aria-setsize', count);
      o.setAttribute('aria-posinset', row + 1);
      o.setAttribute('aria-selected', String(row === list.selected));
      o.textContent = UTF8ToString(Module._sabrota_list_entry(row));
      Object.assign(o.style, {left: Math.floor(row / perColumn) * column + 'px',
                              top: (row % perColumn) * line + 'px', width: column + 'px'});
      frag.appendChild(o);
    }
    inner.replaceChildren(frag);
    if (list.selected >= 0 && list.selected < count) box.setAttribute('aria-activedescendant', 'net' + list.selected);
    else box.removeAttribute('aria-activedescendant');
  }

  function fit() {
    const win = document.getElementById('window');
    const scale = Math.min(1, document.documentElement.clientWidth / design.width);
    win.style.transform = scale < 1 ? 'scale(' + scale + ')' : '';
    document.getElementById('stage').style.height = design.height * scale + 'px';
  }

  function openMemo() {
    const dialog = document.getElementById('memo');
    const text = document.getElementById('memotext');
    text.value = localStorage.getItem(memoKey) || '';
    dialog.showModal();
    text.focus();
  }

  return {
    // The window as designed, before the model runs.
    build() {
      const win = document.getElementById('window');
      Object.assign(win.style, {width: design.width + 'px', height: design.height + 'px'});
      build(win);
      document.getElementById('boxok').addEventListener('click', () => document.getElementById('box').close());
      const text = document.getElementById('memotext');
      // Every keystroke is kept at once: a memo is never lost to a closed tab.
      text.addEventListener('input', () => localStorage.setItem(memoKey, text.value));
      document.getElementById('memosave').addEventListener('click', () =>
        Page.download('ip-memo.txt', new TextEncoder().encode(text.value)));
      document.getElementById('memoclose').addEventListener('click', () => document.getElementById('memo').close());
      window.addEventListener('resize', fit);
      fit();
      rows[design.rows.findIndex((r) => r.name === 'Text1')].focus();
    },
    // The model has started: its start-up comes first, then whatever the user did meanwhile.
    start() {
      queue.unshift({name: 'sabrota_start', argTypes: [], args: [], resolve: () => {}});
      ready = true;
      drain();
    },
    box(prompt, exclamation, title) {
      return new Promise((resolve) => {
        const dialog = document.getElementById('box');
        const back = document.activeElement;
        document.getElementById('boxtitle').textContent = title;
        document.getElementById('boxprompt').textContent = prompt;
        document.getElementById('boxicon').hidden = !exclamation;
        dialog.addEventListener('close', () => {
          if (back && back.isConnected && !back.disabled) back.focus();
          resolve();
        }, {once: true});
        dialog.showModal();
        document.getElementById('boxok').focus();
      });
    },
    show(row, changes, caption, text, back, fore, enabled, visible) {
      const r = design.rows[row], e = rows[row];
      if (!e) return;
      if ((changes & kCaption) && (r.kind === Kind.Caption || r.kind === Kind.Value || r.kind === Kind.Button)) {
        e.textContent = caption;
        if (r.kind === Kind.Value && r.label) e.setAttribute('aria-label', r.label + ' ' + (caption || '空'));
      }
      if ((changes & kText) && r.kind === Kind.TextBox && e.value !== text) e.value = text;
      if ((changes & kText) && r.kind === Kind.ComboBox && maskInput.value !== text) maskInput.value = text;
      if (changes & kColors) {
        const target = r.kind === Kind.ComboBox ? maskInput : e;
        target.style.background = back;
        target.style.color = fore;
      }
      if (changes & kEnabled) {
        if ('disabled' in e) {
          if (!enabled && document.activeElement === e) {
            const focusable = [...document.querySelectorAll('#window input, #window button:not([tabindex="-1"]), #list')];
            const next = focusable[focusable.indexOf(e) + 1];
            if (next) next.focus();
          }
          e.disabled = !enabled;
        }
      }
      if (changes & kVisible) e.style.visibility = visible ? '' : 'hidden';
    },
    maskIndex(index) {
      if (!maskList) return;
      for (const o of maskList.children) o.setAttribute('aria-selected', String(o.id === 'mask' + index));
      if (index >= 0) maskInput.setAttribute('aria-activedescendant', 'mask' + index);
    },
    list(count, selected) {
      list.count = count;
      // The whole width first, so that the selected entry can be scrolled to.
      list.inner.style.width = Math.ceil(count / list.perColumn) * list.column + 'px';
      list.box.scrollLeft = 0;
      if (selected >= 0) select(selected, false);
      else { list.selected = -1; render(); }
    },
    timer(number, interval, enabled) {
      clearInterval(armed.get(number));
      armed.delete(number);
      if (enabled && interval > 0)
        armed.set(number, setInterval(() => {
          // One waiting tick of a timer is enough.
          if (!queue.some((e) => e.name === 'sabrota_tick' && e.args[0] === number))
            send('sabrota_tick', ['number'], [number]);
        }, interval));
    },
    download(name, bytes) {
      const a = document.createElement('a');
      a.href = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
      a.download = name;
      document.body.appendChild(a);
      a.click();
      a.remove();
      setTimeout(() => URL.revokeObjectURL(a.href), 60000);
    },
    open(target) {
      if (/^https?:/.test(target)) window.open(target, '_blank', 'noopener');
      else if (target.endsWith('ip-memo.txt')) openMemo();
    },
    print() {
      window.print();
      return true;
    },
    say(sentence) {
      const live = document.getElementById('live');
      live.textContent = '';
      setTimeout(() => { live.textContent = sentence; }, 50);
    },
  };
})();

Page.build();
// Read by the model's script, which follows this one.
var Module = {page: Page, onRuntimeInitialized: () => Page.start()};
