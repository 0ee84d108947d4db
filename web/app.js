// The page: shows what the program's commands print and runs the command lines the forms
// make. What an image holds and what an edit does is the program's business; this file only
// lays out its answers.
'use strict';
(function () {
  const $ = (id) => document.getElementById(id);
  const SEP = '\x1f';
  const COMMANDS = window.BRIVANT_COMMANDS;
  const times = (window.brivantTimes = {});
  // Options the page gives itself: the image's output, its type, the answer's form.
  const OWN_OPTIONS = new Set(['help', 'quiet', 'json', 'type', 'output', 'in-place', 'no-checksum']);
  // The commands of each tab, offered first in the command list while that tab is shown.
  const TAB_GROUPS = {
    tones: ['tones', 'alert'], graphics: ['bmp', 'ani'], menu: ['menu'],
    languages: ['lang'], operators: ['ops'],
  };

  let core = null;
  let state = { image: '', undo: [], redo: [] };
  let chosenType = '';
  let originalName = '';
  let tab = 'tones';
  let menuPath = [];
  const selection = {}; // list name -> { row, id }

  function command(words) {
    return COMMANDS.find((c) => c.command === words);
  }

  // One call into the program; the session's state comes back with every answer.
  function call(fn, ...args) {
    const answer = JSON.parse(core.ccall(fn, 'string', args.map(() => 'string'), args));
    state = answer;
    showUndo();
    return answer;
  }

  // The chosen phone type goes with the options, ahead of a "--" that ends them.
  function typed(cmd, words) {
    if (!chosenType || !cmd || !cmd.type) return words;
    const end = words.indexOf('--');
    words.splice(end < 0 ? words.length : end, 0, '--type=' + chosenType);
    return words;
  }

  function look(words) {
    const cmd = command(words[0] + (words[1] && command(words[0] + ' ' + words[1]) ? ' ' + words[1] : ''));
    return call('brivant_look', typed(cmd, words).join(SEP));
  }

  // A list as JSON: null (and the message shown) when the program refused it.
  function list(words) {
    const r = look(words.concat(['--json']));
    if (r.status !== 0) return { error: r.err || 'failed' };
    try {
      return JSON.parse(r.out);
    } catch (e) {
      return { error: r.err || r.out };
    }
  }

  function say(text) {
    $('status').textContent = text;
  }

  function showMessage(text) {
    const m = $('message');
    m.textContent = text || '';
    m.hidden = !text;
  }

  function showUndo() {
    const u = $('undo');
    const r = $('redo');
    u.disabled = !state.undo.length;
    r.disabled = !state.redo.length;
    u.textContent = state.undo.length ? 'Undo ' + state.undo[0] : 'Undo';
    r.textContent = state.redo.length ? 'Redo ' + state.redo[0] : 'Redo';
    $('save').disabled = !state.image;
    $('diff-file').disabled = !state.image;
  }

  // ---- Tables -------------------------------------------------------------------------

  function heading(key) {
    const words = key.replace(/([a-z])([A-Z])/g, '$1 $2').replace(/\bid\b/gi, 'ID');
    return words.charAt(0).toUpperCase() + words.slice(1);
  }

  function cellText(v) {
    if (Array.isArray(v)) return v.join(' ');
    if (v !== null && typeof v === 'object') return JSON.stringify(v);
    return String(v);
  }

  // Fills `table` with `rows` (objects; their keys are the columns). `extra` adds cells.
  function fillTable(table, name, rows, extra) {
    const caption = table.querySelector('caption');
    table.replaceChildren(caption);
    if (!rows) return;
    const keys = rows.length ? Object.keys(rows[0]) : [];
    const head = table.createTHead().insertRow();
    const th0 = document.createElement('th');
    th0.textContent = 'Row';
    th0.scope = 'col';
    head.appendChild(th0);
    for (const k of keys) {
      const th = document.createElement('th');
      th.scope = 'col';
      th.textContent = heading(k);
      head.appendChild(th);
    }
    if (extra) {
      const th = document.createElement('th');
      th.scope = 'col';
      th.textContent = extra.title;
      head.appendChild(th);
    }
    const body = table.createTBody();
    rows.forEach((row, i) => {
      const tr = body.insertRow();
      tr.tabIndex = -1;
      tr.dataset.row = i;
      if (row.id !== undefined) tr.dataset.id = row.id;
      tr.setAttribute('aria-selected', 'false');
      const rh = document.createElement('th');
      rh.scope = 'row';
      rh.textContent = i;
      tr.appendChild(rh);
      for (const k of keys) tr.insertCell().textContent = cellText(row[k]);
      if (extra) extra.cell(tr.insertCell(), row, i);
    });
    const sel = selection[name];
    const rowsEls = body.rows;
    const keep = sel && sel.row < rowsEls.length ? sel.row : rowsEls.length ? 0 : -1;
    if (keep >= 0 && name) markRow(table, name, rowsEls[keep], false);
  }

  function markRow(table, name, tr, focus) {
    for (const other of table.tBodies[0].rows) {
      other.setAttribute('aria-selected', 'false');
      other.tabIndex = -1;
    }
    tr.setAttribute('aria-selected', 'true');
    tr.tabIndex = 0;
    selection[name] = { row: Number(tr.dataset.row), id: tr.dataset.id };
    if (focus) tr.focus();
  }

  // Rows are chosen by click, by arrow keys, Home and End; Enter opens (a submenu, a
  // language's texts), Delete runs the tab's delete command on the row.
  function wireTable(table, name, onChoose, onEnter, onDelete) {
    table.addEventListener('click', (e) => {
      const tr = e.target.closest('tbody tr');
      if (!tr) return;
      markRow(table, name, tr, true);
      if (onChoose) onChoose();
      fillSelectionFields();
    });
    table.addEventListener('keydown', (e) => {
      const tr = e.target.closest('tbody tr');
      if (!tr) return;
      const rows = Array.from(table.tBodies[0].rows);
      let i = rows.indexOf(tr);
      if (e.key === 'ArrowDown') i = Math.min(rows.length - 1, i + 1);
      else if (e.key === 'ArrowUp') i = Math.max(0, i - 1);
      else if (e.key === 'Home') i = 0;
      else if (e.key === 'End') i = rows.length - 1;
      else if (e.key === 'Enter' || e.key === ' ') {
        e.preventDefault();
        markRow(table, name, tr, true);
        if (onChoose) onChoose();
        fillSelectionFields();
        if (e.key === 'Enter' && onEnter) onEnter();
        return;
      } else if (e.key === 'Delete' && onDelete) {
        e.preventDefault();
        markRow(table, name, tr, true);
        onDelete();
        return;
      } else return;
      e.preventDefault();
      markRow(table, name, rows[i], true);
      if (onChoose) onChoose();
      fillSelectionFields();
    });
  }

  // ---- The lists -----------------------------------------------------------------------

  function showError(table, name, answer) {
    fillTable(table, name, []);
    const row = table.tBodies[0] ? table.tBodies[0].insertRow() : table.insertRow();
    const cell = row.insertCell();
    cell.textContent = answer.error.trim();
  }

  function fillList(tableId, name, words, key, extra) {
    const answer = list(words);
    const table = $(tableId);
    if (answer.error) return showError(table, name, answer), null;
    fillTable(table, name, answer[key || 'rows'], extra);
    return answer;
  }

  function drawBitmap(canvas, shown, scale) {
    // The pixel bytes as the program stores them: a byte per column of eight rows, the top
    // row in the lowest bit, bands of eight rows one after the other.
    const w = shown.width;
    const h = shown.height;
    canvas.width = Math.max(1, w * scale);
    canvas.height = Math.max(1, h * scale);
    const g = canvas.getContext('2d');
    g.fillStyle = '#fff';
    g.fillRect(0, 0, canvas.width, canvas.height);
    g.fillStyle = '#000';
    const hex = shown.pixels;
    for (let y = 0; y < h; y++) {
      for (let x = 0; x < w; x++) {
        const at = (y >> 3) * w + x;
        const byte = parseInt(hex.substr(at * 2, 2), 16);
        if (byte & (1 << (y & 7))) g.fillRect(x * scale, y * scale, scale, scale);
      }
    }
    canvas.dataset.pixels = hex;
  }

  function bitmapOf(id) {
    const answer = list(['bmp', 'show', state.image, id]);
    return answer.error ? null : answer;
  }

  function showBigBitmap() {
    const sel = selection.bmp;
    if (!sel) return;
    const shown = bitmapOf(sel.id);
    const canvas = $('bitmap-big');
    if (!shown) return;
    drawBitmap(canvas, shown, 3);
    canvas.setAttribute('aria-label', 'Bitmap ' + shown.id + ' at three times its size');
    $('bitmap-size').textContent = 'Bitmap ' + shown.id + ': ' + shown.width + ' × ' + shown.height;
  }

  // The chosen animation played: its frames' bitmaps in turn, as the list names them.
  let aniTimer = 0;
  let aniPlaying = true;
  function playAnimation() {
    clearInterval(aniTimer);
    const sel = selection.ani;
    const rows = lastAni && lastAni.rows;
    const canvas = $('ani-play');
    if (!sel || !rows || !rows[sel.row]) return;
    const ani = rows[sel.row];
    const frames = ani.bitmaps.map((id) => bitmapOf(id));
    let i = 0;
    const show = () => {
      const f = frames[i % frames.length];
      if (f) drawBitmap(canvas, f, 3);
      $('ani-frame').textContent = 'Animation ' + ani.id + ': frame ' + (i % frames.length) +
        ' of ' + frames.length + ', bitmap ' + ani.bitmaps[i % frames.length];
      i++;
    };
    show();
    if (aniPlaying && frames.length > 1) aniTimer = setInterval(show, 300);
  }
  let lastAni = null;

  let previewJob = 0;
  function fillGraphics() {
    const canvases = [];
    const answer = fillList('list-bmp', 'bmp', ['bmp', 'list', state.image], 'rows', {
      title: 'Preview',
      cell: (td, row) => {
        const c = document.createElement('canvas');
        c.width = c.height = 1;
        c.setAttribute('aria-label', 'Bitmap ' + row.id);
        c.dataset.id = row.id;
        td.appendChild(c);
        canvases.push(c);
      },
    });
    lastAni = fillList('list-ani', 'ani', ['ani', 'list', state.image]);
    setTimeout(playAnimation, 0);
    // The previews come one by one after the lists, so that opening is not held up.
    const job = ++previewJob;
    const next = () => {
      if (job !== previewJob || !canvases.length) {
        if (job === previewJob) document.body.dataset.previews = 'done';
        return;
      }
      const c = canvases.shift();
      const shown = bitmapOf(c.dataset.id);
      if (shown) drawBitmap(c, shown, 1);
      setTimeout(next, 0);
    };
    document.body.dataset.previews = 'drawing';
    setTimeout(next, 0);
    if (answer) showBigBitmap();
  }

  function fillMenuLanguages() {
    const langs = list(['lang', 'list', state.image]);
    const select = $('menu-lang');
    const before = select.value;
    select.replaceChildren();
    const rows = langs.error ? [] : langs.rows;
    rows.forEach((r, i) => {
      const o = document.createElement('option');
      o.value = String(i + 1);
      o.textContent = r.language || r.id;
      select.appendChild(o);
    });
    if (before && Number(before) <= rows.length) select.value = before;
  }

  function menuWords(path) {
    const words = ['menu', 'list', state.image];
    if ($('menu-lang').value) words.push('--lang=' + $('menu-lang').value);
    if (path.length) words.push('--path=' + path.join('/'));
    return words;
  }

  function fillMenu() {
    const answer = fillList('list-menu', 'menu', menuWords(menuPath));
    $('menu-path').textContent = menuPath.length ? 'Path ' + menuPath.join('/') : 'Top level';
    $('menu-up').disabled = !menuPath.length;
    $('menu-in').disabled = !answer || !answer.rows || !answer.rows.length;
    // The menu commands' --path, --lang and ROW follow the level shown (not while the menu
    // is refreshed behind another tab, where the form may be half typed).
    if (tab === 'menu') fillSelectionFields();
  }

  // Into the chosen item: the program tells whether it has a level below.
  function menuIn() {
    const sel = selection.menu;
    if (!sel) return;
    const path = menuPath.concat([sel.row]);
    const answer = list(menuWords(path));
    if (answer.error) {
      showMessage(answer.error.trim());
      return;
    }
    showMessage('');
    menuPath = path;
    selection.menu = { row: 0 };
    fillMenu();
    focusSelected('list-menu');
  }

  function menuUp() {
    if (!menuPath.length) return;
    const row = menuPath.pop();
    selection.menu = { row };
    fillMenu();
    focusSelected('list-menu');
  }

  function focusSelected(tableId) {
    const tr = $(tableId).querySelector('tbody tr[tabindex="0"]');
    if (tr) tr.focus();
  }

  function fillTexts() {
    const sel = selection.lang;
    if (!sel) return fillTable($('list-texts'), 'texts', []);
    const answer = list(['lang', 'texts', state.image, String(sel.row)]);
    if (answer.error) return showError($('list-texts'), 'texts', answer);
    fillTable($('list-texts'), 'texts', answer.texts.map((t) => ({ text: t })));
  }

  function fillOperators() {
    const sel = selection.ops;
    if (!sel) return fillTable($('list-operators'), 'operators', []);
    const answer = list(['ops', 'show', state.image, String(sel.row)]);
    if (answer.error) return showError($('list-operators'), 'operators', answer);
    fillTable($('list-operators'), 'operators', answer.operators);
  }

  function showFacts() {
    const info = list(['info', state.image]);
    if (info.error) return;
    $('fact-file').textContent = originalName;
    $('fact-type').textContent = info.phoneType ? info.phoneType.text || '-' : '-';
    $('fact-model').textContent = info.model || '-';
    $('fact-mcu').textContent = info.mcuFree + ' bytes';
    $('fact-ppm').textContent = info.ppmFree + ' bytes';
  }

  const FILL = {
    tones: () => fillList('list-tones', 'tones', ['tones', 'list', state.image]),
    graphics: fillGraphics,
    menu: () => {
      fillMenuLanguages();
      fillMenu();
    },
    languages: () => {
      fillList('list-lang', 'lang', ['lang', 'list', state.image]);
      fillTexts();
    },
    operators: () => {
      fillList('list-ops', 'ops', ['ops', 'list', state.image]);
      fillOperators();
    },
  };
  let fillJob = 0;
  // Every list anew. After an edit, the tab shown comes first and the others just after, so
  // the edit is seen at once.
  function fillAll(shownFirst) {
    const job = ++fillJob;
    showFacts();
    const rest = Object.keys(FILL).filter((t) => !shownFirst || t !== tab);
    if (shownFirst) FILL[tab]();
    fillSelectionFields();
    const others = () => {
      if (job !== fillJob) return;
      for (const t of rest) FILL[t]();
      document.body.dataset.filled = String(job);
    };
    if (shownFirst) setTimeout(others, 0);
    else others();
  }

  // ---- Opening -------------------------------------------------------------------------

  async function openFile(file) {
    const bytes = new Uint8Array(await file.arrayBuffer());
    openBytes(file.name, bytes);
  }

  function openBytes(name, bytes) {
    const t0 = performance.now();
    // A name the command line could take for an option is given a plain start.
    const safe = name.replace(/^[-.]+/, '_').replace(/[\x00-\x1f/\\]/g, '_') || 'image.fls';
    core.FS.writeFile('/session/' + safe, bytes);
    chosenType = $('phone-type').value;
    const answer = call('brivant_open', safe);
    if (answer.status !== 0) {
      showMessage(answer.err.trim());
      say('Not opened: ' + name);
      if (!state.image) clearAll();
      return;
    }
    showMessage('');
    $('report').textContent = '';
    originalName = name;
    menuPath = [];
    for (const k of Object.keys(selection)) delete selection[k];
    fillAll();
    times.open = performance.now() - t0;
    fillCommandList();
    say('Opened ' + name);
    document.body.dataset.image = name;
  }

  function clearAll() {
    for (const t of document.querySelectorAll('main table')) fillTable(t, '', null);
    $('fact-file').textContent = 'none';
  }

  // ---- Editing -------------------------------------------------------------------------

  // The commands a form is made for: those that change the open image or write a file.
  function editable(c) {
    return c.args.some((a) => a.kind === 'image') && (c.saves || c.args.some((a) => a.kind === 'out'));
  }

  function fillCommandList() {
    const select = $('command');
    const before = select.value;
    select.replaceChildren();
    const groups = TAB_GROUPS[tab];
    const first = COMMANDS.filter((c) => editable(c) && groups.includes(c.command.split(' ')[0]));
    const rest = COMMANDS.filter((c) => editable(c) && !first.includes(c));
    for (const [label, cmds] of [['This tab', first], ['Everything else', rest]]) {
      const og = document.createElement('optgroup');
      og.label = label;
      for (const c of cmds) {
        const o = document.createElement('option');
        o.value = c.command;
        o.textContent = c.command;
        og.appendChild(o);
      }
      select.appendChild(og);
    }
    if (before && command(before) && first.includes(command(before))) select.value = before;
    buildForm();
  }

  function fieldId(name) {
    return 'arg-' + name.toLowerCase().replace(/[^a-z0-9]+/g, '-');
  }

  function buildForm() {
    const form = $('command-form');
    form.replaceChildren();
    const c = command($('command').value);
    if (!c) return;
    $('command-help').textContent = c.help;
    const add = (item, positional) => {
      if (positional && item.kind === 'image') return;
      if (!positional && OWN_OPTIONS.has(item.name)) return;
      const id = fieldId((positional ? '' : 'opt-') + item.name);
      const label = document.createElement('label');
      label.htmlFor = id;
      label.textContent = positional ? item.name : '--' + item.name;
      const input = document.createElement('input');
      input.id = id;
      input.dataset.name = item.name;
      input.dataset.kind = item.kind;
      input.dataset.positional = positional ? '1' : '';
      input.title = item.help;
      if (item.kind === 'in') input.type = 'file';
      else if (item.kind === 'flag') input.type = 'checkbox';
      else input.type = 'text';
      if (item.kind === 'out') input.value = defaultOut(c);
      if (positional && item.required && item.kind !== 'flag') input.required = true;
      if (item.many) input.dataset.many = '1';
      const help = document.createElement('span');
      help.className = 'full';
      help.textContent = item.help;
      help.id = id + '-help';
      input.setAttribute('aria-describedby', help.id);
      form.append(label, input, help);
    };
    c.args.forEach((a) => add(a, true));
    c.options.forEach((o) => add(o, false));
    const run = document.createElement('button');
    run.type = 'submit';
    run.id = 'run';
    run.className = 'full';
    run.textContent = 'Run ' + c.command;
    form.appendChild(run);
    fillSelectionFields();
  }

  function defaultOut(c) {
    const base = (originalName || 'image').replace(/\.[^.]*$/, '');
    if (c.command.startsWith('tones') || c.command.startsWith('alert')) return base + '.re';
    if (c.command.startsWith('lang')) return base + '.lng';
    if (c.command.startsWith('ops')) return base + '.opr';
    if (c.command.startsWith('chunk')) return base + '.bin';
    if (c.command === 'bmp sheet') return base + '-sheet.png';
    if (c.command === 'ani export') return base + '-ani.gif';
    if (c.command === 'bmp export-all') return base;
    return base + '.bmp';
  }

  // The list whose selection a command's ROW or ID argument takes.
  function listOf(c) {
    const group = c.command.split(' ')[0];
    return { tones: 'tones', bmp: 'bmp', ani: 'ani', menu: 'menu', lang: 'lang', ops: 'ops' }[group];
  }

  function fillSelectionFields() {
    const c = command($('command').value);
    if (!c) return;
    const sel = selection[listOf(c)];
    for (const input of $('command-form').querySelectorAll('input')) {
      const name = input.dataset.name;
      if (sel && name === 'ROW') input.value = String(sel.row);
      if (sel && name === 'ID' && sel.id !== undefined) input.value = sel.id;
      if (name === 'ANI' && selection.ani) input.value = selection.ani.id;
      if (name === 'BMPID' && selection.bmp) input.value = selection.bmp.id;
      if (listOf(c) === 'menu' && name === 'path') input.value = menuPath.join('/');
      if (listOf(c) === 'menu' && name === 'lang') input.value = $('menu-lang').value;
    }
  }

  function clearFolder(dir) {
    const FS = core.FS;
    try {
      for (const n of FS.readdir(dir)) if (n !== '.' && n !== '..') FS.unlink(dir + '/' + n);
    } catch (e) {
      FS.mkdirTree(dir);
    }
  }

  function download(name, bytes) {
    const url = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    const a = document.createElement('a');
    a.href = url;
    a.download = name;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 10000);
  }

  // The command line a form makes: its words, and a label naming the step.
  async function formWords(c) {
    const words = c.command.split(' ');
    const label = c.command.split(' ');
    const opts = [];
    for (const a of c.args) {
      if (a.kind === 'image') {
        words.push(state.image);
        continue;
      }
      const input = $('command-form').querySelector('#' + fieldId(a.name));
      if (a.kind === 'in') {
        const file = input.files[0];
        if (!file) continue;
        let path = '/in/' + file.name.replace(/[\x00-\x1f/\\]/g, '_');
        let bytes = new Uint8Array(await file.arrayBuffer());
        const picture = await asPng(c, file);
        if (picture) {
          path += '.png';
          bytes = picture;
        }
        core.FS.writeFile(path, bytes);
        words.push(path);
        label.push(file.name);
      } else if (a.kind === 'out') {
        if (!input.value) continue;
        words.push('/out/' + input.value.replace(/[\x00-\x1f/\\]/g, '_'));
      } else if (input.value !== '') {
        const values = a.many ? input.value.trim().split(/\s+/) : [input.value];
        words.push(...values);
        label.push(...values);
      }
    }
    for (const o of c.options) {
      if (OWN_OPTIONS.has(o.name)) continue;
      const input = $('command-form').querySelector('#' + fieldId('opt-' + o.name));
      if (o.kind === 'flag') {
        if (input.checked) opts.push('--' + o.name);
      } else if (input.value !== '') {
        opts.push('--' + o.name + '=' + input.value);
      }
    }
    // Options before the positionals, which follow "--": a value starting with "-" stays a
    // value.
    const head = words.slice(0, c.command.split(' ').length);
    const tail = words.slice(head.length);
    return { words: typed(c, head.concat(opts, ['--'], tail)), label: label.concat(opts).join(' ') };
  }

  // Pictures the program does not read itself (WebP, AVIF, SVG, ICO, ...) are decoded by the
  // browser and handed over as PNG, transparency kept: the program's own rule (threshold,
  // dither, fit) then makes the bitmap of it. Formats the program reads go as they are.
  const PROGRAM_READS = /\.(bmp|png|gif|jpe?g|pbm|xbm)$/i;
  async function asPng(c, file) {
    if (!c.command.startsWith('bmp import') || PROGRAM_READS.test(file.name)) return null;
    let bitmap;
    try {
      bitmap = await createImageBitmap(file);
    } catch (e) {
      return null; // the program tells what it cannot read
    }
    const canvas = document.createElement('canvas');
    canvas.width = bitmap.width;
    canvas.height = bitmap.height;
    canvas.getContext('2d').drawImage(bitmap, 0, 0);
    const blob = await new Promise((resolve) => canvas.toBlob(resolve, 'image/png'));
    return new Uint8Array(await blob.arrayBuffer());
  }

  async function runForm(e) {
    if (e) e.preventDefault();
    const c = command($('command').value);
    if (!c || !state.image) return;
    const t0 = performance.now();
    clearFolder('/out');
    clearFolder('/in');
    const { words, label } = await formWords(c);
    // A recipe is shown as its dry run first, and applied only when that is accepted.
    if (c.command === 'apply' && !words.includes('--dry-run')) {
      const dryWords = words.slice();
      dryWords.splice(words.indexOf('--'), 0, '--dry-run');
      const dry = call('brivant_look', dryWords.join(SEP));
      report(dry);
      if (dry.status !== 0) {
        showMessage(dry.err.trim() || 'apply failed');
        say('apply refused; the image is as it was');
        return;
      }
      if (!window.confirm('Apply the recipe? What it changes is shown in the report.\n\n' + dry.out)) {
        say('apply not run');
        return;
      }
    }
    const answer = c.saves
      ? call('brivant_step', words.join(SEP), label)
      : call('brivant_look', words.join(SEP));
    report(answer);
    if (answer.status !== 0) {
      showMessage(answer.err.trim() || c.command + ' failed');
      say(c.command + ' refused; the image is as it was');
      return;
    }
    showMessage('');
    for (const n of core.FS.readdir('/out')) {
      if (n === '.' || n === '..') continue;
      download(n, core.FS.readFile('/out/' + n));
    }
    if (c.saves) {
      fillAll(true);
      say('Done: ' + label);
    } else {
      say('Written: ' + label);
    }
    times.edit = performance.now() - t0;
    document.body.dataset.steps = String(state.undo.length);
  }

  function report(answer) {
    $('report').textContent = (answer.out || '') + (answer.err || '');
  }

  // The differences between the open image and a second one, as diff prints them.
  async function diffWith(file) {
    if (!state.image) return;
    clearFolder('/in');
    const other = '/in/' + file.name.replace(/[\x00-\x1f/\\]/g, '_');
    core.FS.writeFile(other, new Uint8Array(await file.arrayBuffer()));
    const answer = call('brivant_look', typed(command('diff'), ['diff', '--', state.image, other]).join(SEP));
    report(answer);
    say(answer.status === 0 ? 'No differences' : answer.status === 1 ? 'Differences: see the report' : 'diff failed');
  }

  function undo() {
    if (!state.undo.length) return;
    const name = state.undo[0];
    call('brivant_undo');
    fillAll(true);
    say('Undone: ' + name);
    document.body.dataset.steps = String(state.undo.length);
  }

  function redo() {
    if (!state.redo.length) return;
    const name = state.redo[0];
    call('brivant_redo');
    fillAll(true);
    say('Redone: ' + name);
    document.body.dataset.steps = String(state.undo.length);
  }

  // The image as it is now, its checksums repaired as the window's save repairs them (every
  // edit was saved so already; an image opened with wrong ones is repaired here). The
  // program's check of it follows. An image whose checksums cannot be repaired is not saved.
  function save() {
    if (!state.image) return;
    const fixed = call('brivant_look', ['checksum', '--fix', '--', state.image].join(SEP));
    if (fixed.status !== 0) {
      report(fixed);
      showMessage(fixed.err.trim() || 'checksum --fix failed');
      say('Not saved: the checksums could not be repaired');
      return;
    }
    showMessage('');
    download(originalName, core.FS.readFile('/session/' + state.image));
    const answer = call('brivant_look', ['check', state.image].join(SEP));
    report(answer);
    say('Saved ' + originalName + '; check: ' + (answer.status === 0 ? 'no problems' : 'see the report'));
  }

  // ---- Tabs ----------------------------------------------------------------------------

  function showTab(name, focus) {
    tab = name;
    for (const t of document.querySelectorAll('[role=tab]')) {
      const on = t.id === 'tab-' + name;
      t.setAttribute('aria-selected', String(on));
      t.tabIndex = on ? 0 : -1;
      if (on && focus) t.focus();
    }
    for (const p of document.querySelectorAll('[role=tabpanel]')) p.hidden = p.id !== 'panel-' + name;
    fillCommandList();
  }

  function wire() {
    for (const t of BRIVANT_TYPES) {
      const o = document.createElement('option');
      o.value = t;
      o.textContent = t;
      $('phone-type').appendChild(o);
    }
    $('open-file').addEventListener('change', (e) => {
      if (e.target.files[0]) openFile(e.target.files[0]);
      // The same file can be chosen again (opened afresh, its edits dropped).
      e.target.value = '';
    });
    $('phone-type').addEventListener('change', () => {
      chosenType = $('phone-type').value;
      if (state.image) fillAll();
    });
    const area = document.body;
    area.addEventListener('dragover', (e) => {
      e.preventDefault();
      $('open-area').classList.add('over');
    });
    area.addEventListener('dragleave', () => $('open-area').classList.remove('over'));
    area.addEventListener('drop', (e) => {
      e.preventDefault();
      $('open-area').classList.remove('over');
      const f = e.dataTransfer.files[0];
      if (f) openFile(f);
    });
    const tabs = Array.from(document.querySelectorAll('[role=tab]'));
    tabs.forEach((t, i) => {
      t.addEventListener('click', () => showTab(t.id.slice(4), true));
      t.addEventListener('keydown', (e) => {
        let j = i;
        if (e.key === 'ArrowRight') j = (i + 1) % tabs.length;
        else if (e.key === 'ArrowLeft') j = (i + tabs.length - 1) % tabs.length;
        else return;
        e.preventDefault();
        showTab(tabs[j].id.slice(4), true);
      });
    });
    const deleteRow = (cmd) => () => {
      $('command').value = cmd;
      buildForm();
      runForm();
    };
    wireTable($('list-tones'), 'tones', null, null, deleteRow('tones delete'));
    wireTable($('list-bmp'), 'bmp', showBigBitmap);
    wireTable($('list-ani'), 'ani', playAnimation);
    $('ani-toggle').addEventListener('click', () => {
      aniPlaying = !aniPlaying;
      $('ani-toggle').textContent = aniPlaying ? 'Pause' : 'Play';
      $('ani-toggle').setAttribute('aria-pressed', String(aniPlaying));
      playAnimation();
    });
    wireTable($('list-menu'), 'menu', null, menuIn, deleteRow('menu delete'));
    wireTable($('list-lang'), 'lang', fillTexts, null, deleteRow('lang delete'));
    wireTable($('list-texts'), 'texts');
    wireTable($('list-ops'), 'ops', fillOperators, null, deleteRow('ops delete'));
    wireTable($('list-operators'), 'operators');
    $('menu-in').addEventListener('click', menuIn);
    $('menu-up').addEventListener('click', menuUp);
    $('list-menu').addEventListener('keydown', (e) => {
      if (e.key === 'Backspace') {
        e.preventDefault();
        menuUp();
      }
    });
    $('menu-lang').addEventListener('change', fillMenu);
    $('command').addEventListener('change', buildForm);
    $('command-form').addEventListener('submit', runForm);
    $('undo').addEventListener('click', undo);
    $('redo').addEventListener('click', redo);
    $('save').addEventListener('click', save);
    $('diff-file').addEventListener('change', (e) => {
      if (e.target.files[0]) diffWith(e.target.files[0]);
      e.target.value = '';
    });
    document.addEventListener('keydown', (e) => {
      const inField = e.target.matches('input[type=text], textarea');
      if (!(e.ctrlKey || e.metaKey) || inField) return;
      const k = e.key.toLowerCase();
      if (k === 'z' && !e.shiftKey) {
        e.preventDefault();
        undo();
      } else if (k === 'y' || (k === 'z' && e.shiftKey)) {
        e.preventDefault();
        redo();
      } else if (k === 's') {
        e.preventDefault();
        save();
      }
    });
    showTab('tones', false);
  }

  window.BrivantCore().then((m) => {
    core = m;
    core.FS.mkdirTree('/in');
    core.FS.mkdirTree('/out');
    wire();
    // From the start of the page's loading, as the browser counts it.
    times.ready = performance.now();
    say('Ready: open a flash image');
    document.body.dataset.ready = '1';
  });
  // For the browser test: the same calls the controls make.
  window.brivantPage = {
    openBytes: (name, bytes) => openBytes(name, bytes),
    state: () => state,
    imageBytes: () => core.FS.readFile('/session/' + state.image),
  };
})();
