// The web page in the system's chromium, against the native command line: every family's
// demo image opened and its five tabs walked (each list as the native program lists it), a
// sequence of edits through the forms with undo and redo and a refused edit, the saved
// download byte for byte as the native program's, drag and drop, the keyboard, and no
// request beyond the page's own files. Prints the page's times; writes the tabs' screenshots.
// Usage: CHROMIUM=... BRIVANT_CLI=... node tests/web/page-test.js WEB_DIR
'use strict';
const assert = require('assert/strict');
const { execFileSync, spawnSync } = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const webDir = path.resolve(process.argv[2] || 'build/web');
const cli = process.env.BRIVANT_CLI;
const repo = path.resolve(__dirname, '../..');
const shots = path.join(repo, 'docs/screenshots');
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'brivant-web-'));
const downloads = path.join(tmp, 'downloads');
fs.mkdirSync(downloads);
const TABS = ['tones', 'graphics', 'menu', 'languages', 'operators'];
const OWN_FILES = new Set(['index.html', 'style.css', 'commands.js', 'brivant-web.js', 'app.js']);

function native(args, ok = true, cwd = tmp) {
  const r = spawnSync(cli, args, { cwd, encoding: 'utf8' });
  if (ok && r.status !== 0) throw new Error(`brivant-cli ${args.join(' ')}: ${r.stderr}`);
  return r;
}
const nativeJson = (args) => JSON.parse(native(args.concat(['--json'])).stdout);

let failures = 0;
async function check(name, fn) {
  try {
    await fn();
    console.log(`ok   ${name}`);
  } catch (e) {
    failures++;
    console.log(`FAIL ${name}\n     ${String(e.stack || e).split('\n').slice(0, 6).join('\n     ')}`);
  }
}

// The page's table as rows of cell texts (the Row column and any preview left out).
function tableRows(page, id) {
  return page.$$eval(`#${id} tbody tr`, (trs) =>
    trs.map((tr) => Array.from(tr.cells).slice(1).map((c) => c.textContent)));
}

function cellsOf(rows) {
  return rows.map((r) =>
    Object.values(r).map((v) => (Array.isArray(v) ? v.join(' ') : String(v))));
}

async function openByPicker(page, file) {
  // The same name may be open already: wait for this open, not the one before.
  await page.evaluate(() => delete document.body.dataset.image);
  const input = await page.$('#open-file');
  await input.uploadFile(file);
  await page.waitForFunction((n) => document.body.dataset.image === n, {}, path.basename(file));
}

async function showTab(page, tab) {
  await page.click(`#tab-${tab}`);
  await page.waitForFunction((t) => !document.getElementById('panel-' + t).hidden, {}, tab);
}

// Each bitmap's preview, read back from its canvas as the command line draws it.
function previews(page) {
  return page.$$eval('#list-bmp tbody canvas', (cs) =>
    cs.map((c) => {
      const g = c.getContext('2d');
      const { data } = g.getImageData(0, 0, c.width, c.height);
      const lines = [];
      for (let y = 0; y < c.height; y++) {
        let line = '';
        for (let x = 0; x < c.width; x++) line += data[(y * c.width + x) * 4] < 128 ? '#' : '.';
        lines.push(line);
      }
      return { id: c.dataset.id, drawn: c.dataset.pixels !== undefined, lines };
    }));
}

async function walkTabs(page, image, screenshots) {
  await showTab(page, 'tones');
  assert.deepEqual(await tableRows(page, 'list-tones'), cellsOf(nativeJson(['tones', 'list', image]).rows));
  if (screenshots) await page.screenshot({ path: path.join(shots, 'web-tones.png'), fullPage: true });

  await showTab(page, 'graphics');
  await page.waitForFunction(() => document.body.dataset.previews === 'done');
  const bmps = nativeJson(['bmp', 'list', image]).rows;
  const shown = await tableRows(page, 'list-bmp');
  assert.deepEqual(shown.map((r) => r.slice(0, -1)), cellsOf(bmps));
  for (const p of await previews(page)) {
    const text = native(['bmp', 'show', image, p.id]).stdout.split('\n').filter((l) => l);
    const row = bmps.find((b) => b.id === p.id);
    if (row.width === 0 || row.height === 0) continue;
    assert.ok(p.drawn, `preview of ${p.id} drawn`);
    assert.deepEqual(p.lines, text, `preview of bitmap ${p.id}`);
  }
  assert.deepEqual(await tableRows(page, 'list-ani'), cellsOf(nativeJson(['ani', 'list', image]).rows));
  const big = await page.$eval('#bitmap-size', (e) => e.textContent);
  assert.match(big, new RegExp(`^Bitmap ${bmps[0].id}: ${bmps[0].width} × ${bmps[0].height}$`));
  if (screenshots) await page.screenshot({ path: path.join(shots, 'web-graphics.png'), fullPage: true });

  await showTab(page, 'menu');
  const menu = native(['menu', 'list', image, '--lang=1', '--json'], false);
  if (menu.status !== 0) {
    // A family whose menu the program cannot read: its message stands in the table.
    assert.equal(await page.$eval('#list-menu tbody', (b) => b.textContent), menu.stderr.trim());
    if (screenshots) await page.screenshot({ path: path.join(shots, 'web-menu.png'), fullPage: true });
  }
  const top = menu.status === 0 ? JSON.parse(menu.stdout).rows : [];
  if (menu.status === 0) assert.deepEqual(await tableRows(page, 'list-menu'), cellsOf(top));
  // Into the first item with a level below (Enter), and back up (Backspace).
  const sub = top.findIndex((_, i) =>
    native(['menu', 'list', image, '--lang=1', `--path=${i}`, '--json'], false).status === 0);
  if (menu.status !== 0) {
    // Nothing to walk.
  } else if (sub >= 0) {
    await page.click(`#list-menu tbody tr:nth-child(${sub + 1})`);
    await page.keyboard.press('Enter');
    await page.waitForFunction((s) => document.getElementById('menu-path').textContent === 'Path ' + s, {}, String(sub));
    const level = nativeJson(['menu', 'list', image, '--lang=1', `--path=${sub}`]).rows;
    assert.deepEqual(await tableRows(page, 'list-menu'), cellsOf(level));
    if (screenshots) await page.screenshot({ path: path.join(shots, 'web-menu.png'), fullPage: true });
    await page.keyboard.press('Backspace');
    await page.waitForFunction(() => document.getElementById('menu-path').textContent === 'Top level');
    assert.deepEqual(await tableRows(page, 'list-menu'), cellsOf(top));
  } else if (screenshots) {
    await page.screenshot({ path: path.join(shots, 'web-menu.png'), fullPage: true });
  }

  await showTab(page, 'languages');
  const langs = nativeJson(['lang', 'list', image]).rows;
  assert.deepEqual(await tableRows(page, 'list-lang'), cellsOf(langs));
  if (langs.length > 1) {
    await page.click('#list-lang tbody tr:nth-child(2)');
    const texts = nativeJson(['lang', 'texts', image, '1']).texts;
    assert.deepEqual(await tableRows(page, 'list-texts'), texts.map((t) => [t]));
  }
  if (screenshots) await page.screenshot({ path: path.join(shots, 'web-languages.png'), fullPage: true });

  await showTab(page, 'operators');
  const ops = nativeJson(['ops', 'list', image]).rows;
  assert.deepEqual(await tableRows(page, 'list-ops'), cellsOf(ops));
  if (ops.length) {
    await page.click('#list-ops tbody tr:nth-child(1)');
    const shownOps = nativeJson(['ops', 'show', image, '0']).operators;
    assert.deepEqual(await tableRows(page, 'list-operators'), cellsOf(shownOps));
  }
  if (screenshots) await page.screenshot({ path: path.join(shots, 'web-operators.png'), fullPage: true });
}

function fnv(bytes) {
  let h = 0x811c9dc5;
  for (const b of bytes) h = Math.imul(h ^ b, 0x01000193) >>> 0;
  return h;
}
const pageImageHash = (page) =>
  page.evaluate(() => {
    let h = 0x811c9dc5;
    for (const b of window.brivantPage.imageBytes()) h = Math.imul(h ^ b, 0x01000193) >>> 0;
    return h;
  });

// Runs one command through its form: fields by argument name; `submit` by the Run button or
// by Enter in the last text field.
async function runForm(page, command, fields, submit = 'click') {
  await page.select('#command', command);
  let last = null;
  for (const [name, value] of Object.entries(fields)) {
    const id = '#arg-' + name.toLowerCase().replace(/[^a-z0-9]+/g, '-');
    if (value === true) {
      await page.$eval(id, (e) => { e.checked = true; });
      continue;
    }
    await page.$eval(id, (e) => { e.value = ''; });
    await page.type(id, value);
    last = id;
  }
  const before = await page.evaluate(() => window.brivantTimes.edit);
  const steps = await page.evaluate(() => window.brivantPage.state().undo.length);
  if (submit === 'enter' && last) {
    await page.focus(last);
    await page.keyboard.press('Enter');
  } else {
    await page.click('#run');
  }
  await page.waitForFunction(
    (b, s) => window.brivantTimes.edit !== b || window.brivantPage.state().undo.length !== s ||
      !document.getElementById('message').hidden, {}, before, steps);
  return page.evaluate(() => ({
    message: document.getElementById('message').hidden ? '' : document.getElementById('message').textContent,
    steps: window.brivantPage.state().undo.length,
  }));
}

async function waitDownload(name) {
  const file = path.join(downloads, name);
  for (let i = 0; i < 200; i++) {
    if (fs.existsSync(file)) {
      const size = fs.statSync(file).size;
      await new Promise((r) => setTimeout(r, 50));
      if (fs.statSync(file).size === size && !fs.existsSync(file + '.crdownload')) return fs.readFileSync(file);
    }
    await new Promise((r) => setTimeout(r, 50));
  }
  throw new Error('no download of ' + name);
}

// The edits, one or more per subsystem, each as the command line takes it (IMAGE first).
const EDITS = [
  { cmd: 'ani set-frame', fields: { ANI: '000', FRAME: '0', BMPID: '003' } },
  { cmd: 'menu move', fields: { ROW: '0', DIRECTION: 'down' } },
  { cmd: 'lang delete', fields: { ROW: '1' }, submit: 'enter' },
  { cmd: 'ops new', fields: { NAME: 'TST', CODE: '999' } },
  { cmd: 'security patch', fields: { 'opt-whole': true } },
];
function nativeWords(e, image, out) {
  const words = e.cmd.split(' ');
  const opts = [];
  const pos = [image];
  for (const [k, v] of Object.entries(e.fields)) {
    if (k.startsWith('opt-')) opts.push('--' + k.slice(4));
    else pos.push(v);
  }
  return words.concat(opts, ['-o', out, '--'], pos);
}

async function editAndSave(page, image, name) {
  // The tones subsystem by the keyboard: Delete on the chosen row.
  await showTab(page, 'tones');
  let cur = path.join(tmp, 'native-0.fls');
  fs.copyFileSync(image, cur);
  const states = [fnv(fs.readFileSync(cur))];
  let n = 0;
  const step = (words, ok) => {
    const next = path.join(tmp, `native-${++n}.fls`);
    const r = native(words(cur, next), false);
    if (r.status === 0) {
      cur = next;
      states.push(fnv(fs.readFileSync(cur)));
    }
    return r;
  };
  const r0 = step((c, o) => ['tones', 'delete', '-o', o, '--', c, '1']);
  await page.click('#list-tones tbody tr:nth-child(2)');
  const t0 = await page.evaluate(() => window.brivantTimes.edit);
  await page.keyboard.press('Delete');
  await page.waitForFunction((t) => window.brivantTimes.edit !== t || !document.getElementById('message').hidden, {}, t0);
  const message = await page.$eval('#message', (m) => (m.hidden ? '' : m.textContent));
  assert.equal(message, r0.status === 0 ? '' : r0.stderr.trim(), 'tones delete by the Delete key');
  assert.equal(await pageImageHash(page), states[states.length - 1], 'after tones delete');

  for (const e of EDITS) {
    const r = step((c, o) => nativeWords(e, c, o));
    const got = await runForm(page, e.cmd, e.fields, e.submit);
    if (r.status === 0) {
      assert.equal(got.message, '', `${e.cmd}: no message`);
    } else {
      assert.equal(got.message, r.stderr.trim(), `${e.cmd}: the program's own message`);
    }
    assert.equal(await pageImageHash(page), states[states.length - 1], `after ${e.cmd}`);
  }
  const steps = states.length - 1;
  assert.equal(await page.evaluate(() => window.brivantPage.state().undo.length), steps);

  // Ctrl+Z takes the last step back, the Redo button (and Ctrl+Y) do it again.
  await page.focus('#tab-tones');
  await page.keyboard.down('Control');
  await page.keyboard.press('z');
  await page.keyboard.up('Control');
  assert.equal(await pageImageHash(page), states[steps - 1], 'after undo');
  assert.match(await page.$eval('#redo', (b) => b.textContent), /^Redo \S/);
  await page.keyboard.down('Control');
  await page.keyboard.press('y');
  await page.keyboard.up('Control');
  assert.equal(await pageImageHash(page), states[steps], 'after redo');

  // A refused edit: the program's message, and the image as it was.
  const refused = native(['tones', 'delete', '-o', path.join(tmp, 'refused.fls'), '--', cur, '999'], false);
  assert.notEqual(refused.status, 0);
  const got = await runForm(page, 'tones delete', { ROW: '999' });
  assert.equal(got.message, refused.stderr.trim());
  assert.equal(got.steps, steps);
  assert.equal(await pageImageHash(page), states[steps], 'after the refused edit');

  // Saved: the download is the native program's image, byte for byte; check follows.
  await page.click('#save');
  const saved = await waitDownload(name);
  assert.ok(saved.equals(fs.readFileSync(cur)), 'the saved image is the native one');
  await page.waitForFunction(() => /check/i.test(document.getElementById('status').textContent));
  // The same check, of the same file under the same name.
  const report = await page.$eval('#report', (e) => e.textContent);
  const named = path.join(tmp, 'named');
  fs.mkdirSync(named, { recursive: true });
  fs.copyFileSync(cur, path.join(named, name));
  const checked = native(['check', name], false, named);
  assert.equal(report, checked.stdout + checked.stderr);
  fs.unlinkSync(path.join(downloads, name));
}

function serve(dir) {
  return new Promise((resolve) => {
    const server = http.createServer((req, res) => {
      const name = decodeURIComponent(new URL(req.url, 'http://x').pathname.slice(1)) || 'index.html';
      if (!OWN_FILES.has(name)) {
        res.writeHead(404);
        return res.end();
      }
      const types = { html: 'text/html', css: 'text/css', js: 'text/javascript' };
      res.writeHead(200, { 'Content-Type': types[name.split('.').pop()] });
      res.end(fs.readFileSync(path.join(dir, name)));
    });
    server.listen(0, '127.0.0.1', () => resolve(server));
  });
}

(async () => {
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--window-size=1100,900'],
    defaultViewport: { width: 1100, height: 900 },
  });
  const page = await browser.newPage();
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  const server = await serve(webDir);
  const origin = `http://127.0.0.1:${server.address().port}/`;
  const foreign = [];
  const problems = [];
  page.on('request', (r) => {
    const url = r.url();
    const own = (base) => url.startsWith(base) && OWN_FILES.has(url.slice(base.length) || 'index.html');
    if (!own(`file://${webDir}/`) && !own(origin) && !url.startsWith('blob:')) foreign.push(url);
  });
  page.on('pageerror', (e) => problems.push(e.message));
  page.on('console', (m) => {
    if (m.type() === 'error' || m.type() === 'warning') problems.push(m.text());
  });

  await page.goto(`file://${webDir}/index.html`);
  await page.waitForSelector('body[data-ready="1"]');
  const ready = await page.evaluate(() => window.brivantTimes.ready);

  const types = JSON.parse(execFileSync('node', ['-e',
    `global.window={};require(${JSON.stringify(path.join(webDir, 'commands.js'))});` +
    'console.log(JSON.stringify(window.BRIVANT_TYPES))']));
  fs.mkdirSync(shots, { recursive: true });
  for (const type of types) {
    const name = `demo-${type.replace(/\W/g, '_')}.fls`;
    const image = path.join(tmp, name);
    native(['demo', image, '--type', type]);
    await check(`${type}: opened, the five tabs as the command line lists them`, async () => {
      await openByPicker(page, image);
      assert.equal(await page.$eval('#fact-type', (e) => e.textContent), nativeJson(['info', image]).phoneType.text);
      await walkTabs(page, image, type === '3310');
    });
    await check(`${type}: edits through the forms, undo, redo, a refused edit, save`, async () => {
      await editAndSave(page, image, name);
    });
  }

  await check('drag and drop opens an image', async () => {
    const image = path.join(tmp, 'dropped.fls');
    native(['demo', image, '--type', '3410']);
    const bytes = [...fs.readFileSync(image)];
    await page.evaluate((b) => {
      const dt = new DataTransfer();
      dt.items.add(new File([new Uint8Array(b)], 'dropped.fls'));
      document.body.dispatchEvent(new DragEvent('drop', { dataTransfer: dt, bubbles: true, cancelable: true }));
    }, bytes);
    await page.waitForFunction(() => document.body.dataset.image === 'dropped.fls');
    assert.equal(await page.$eval('#fact-file', (e) => e.textContent), 'dropped.fls');
    await showTab(page, 'tones');
    assert.deepEqual(await tableRows(page, 'list-tones'), cellsOf(nativeJson(['tones', 'list', image]).rows));
  });

  await check('a file that is no image is refused with the program\'s message', async () => {
    const junk = path.join(tmp, 'junk.fls');
    fs.writeFileSync(junk, 'not an image');
    const expected = native(['info', 'junk.fls'], false);
    assert.notEqual(expected.status, 0);
    const input = await page.$('#open-file');
    await input.uploadFile(junk);
    await page.waitForFunction(() => !document.getElementById('message').hidden);
    assert.equal(await page.$eval('#message', (e) => e.textContent), expected.stderr.trim());
    assert.equal(await page.evaluate(() => document.body.dataset.image), 'dropped.fls');
  });

  await check('diff against a second image shows what diff prints', async () => {
    const image = path.join(tmp, 'demo-3310.fls');
    await openByPicker(page, image);
    const named = path.join(tmp, 'diffed');
    fs.mkdirSync(named, { recursive: true });
    fs.copyFileSync(image, path.join(named, 'demo-3310.fls'));
    native(['tones', 'delete', '-o', path.join(named, 'other.fls'), '--', image, '0']);
    const expected = native(['diff', 'demo-3310.fls', 'other.fls'], false, named);
    assert.equal(expected.status, 1);
    const input = await page.$('#diff-file');
    await input.uploadFile(path.join(named, 'other.fls'));
    await page.waitForFunction(() => /Differences/.test(document.getElementById('status').textContent));
    const shown = await page.$eval('#report', (e) => e.textContent);
    assert.equal(shown.replaceAll('/in/other.fls', 'other.fls'), expected.stdout + expected.stderr);
  });

  await check('a picture the program does not read (WebP) goes in through the browser', async () => {
    const image = path.join(tmp, 'demo-3310.fls');
    await openByPicker(page, image);
    await showTab(page, 'graphics');
    // The same drawing as PNG (which the program reads) and as lossless WebP (which it does
    // not): the bitmap made of either must be the same.
    const pictures = await page.evaluate(async () => {
      const c = document.createElement('canvas');
      c.width = 16;
      c.height = 12;
      const g = c.getContext('2d');
      g.fillStyle = '#fff';
      g.fillRect(0, 0, 16, 12);
      g.fillStyle = '#000';
      for (let i = 0; i < 12; i++) g.fillRect(i, i, 4, 1);
      const bytes = async (type) =>
        Array.from(new Uint8Array(await (await new Promise((r) => c.toBlob(r, type, 1))).arrayBuffer()));
      return { png: await bytes('image/png'), webp: await bytes('image/webp') };
    });
    const png = path.join(tmp, 'drawing.png');
    const webp = path.join(tmp, 'drawing.webp');
    fs.writeFileSync(png, Buffer.from(pictures.png));
    fs.writeFileSync(webp, Buffer.from(pictures.webp));
    const out = path.join(tmp, 'imported.fls');
    native(['bmp', 'import', '-o', out, '--', image, '001', png]);
    await page.select('#command', 'bmp import');
    await page.$eval('#arg-id', (e) => { e.value = '001'; });
    const steps = await page.evaluate(() => window.brivantPage.state().undo.length);
    await (await page.$('#arg-in')).uploadFile(webp);
    await page.click('#run');
    await page.waitForFunction((s) => window.brivantPage.state().undo.length > s ||
      !document.getElementById('message').hidden, {}, steps);
    assert.equal(await page.$eval('#message', (m) => (m.hidden ? '' : m.textContent)), '');
    assert.equal(await pageImageHash(page), fnv(fs.readFileSync(out)));
  });

  await check('the chosen animation plays its frames', async () => {
    await showTab(page, 'graphics');
    await page.click('#list-ani tbody tr:nth-child(1)');
    const first = await page.$eval('#ani-frame', (e) => e.textContent);
    await page.waitForFunction((f) => document.getElementById('ani-frame').textContent !== f, {}, first);
    assert.match(await page.$eval('#ani-frame', (e) => e.textContent), /^Animation 000: frame \d+ of \d+, bitmap [0-9A-F]{3}$/);
  });

  await check('a recipe: its dry run shown first, then applied as the command line applies it', async () => {
    const image = path.join(tmp, 'demo-3310.fls');
    await openByPicker(page, image);
    const dir = path.join(tmp, 'recipe');
    fs.mkdirSync(dir, { recursive: true });
    const changed = path.join(dir, 'changed.fls');
    native(['tones', 'delete', '-o', changed, '--', image, '2']);
    const recipe = path.join(dir, 'steps.json');
    native(['diff', image, changed, '--recipe', recipe], false);
    const applied = path.join(dir, 'applied.fls');
    native(['apply', '-o', applied, '--', image, recipe]);
    let asked = '';
    const answer = (d) => {
      asked = d.message();
      d.accept();
    };
    page.once('dialog', answer);
    await page.select('#command', 'apply');
    const steps = await page.evaluate(() => window.brivantPage.state().undo.length);
    await (await page.$('#arg-recipe')).uploadFile(recipe);
    await page.click('#run');
    await page.waitForFunction((s) => window.brivantPage.state().undo.length > s ||
      !document.getElementById('message').hidden, {}, steps);
    assert.equal(await page.$eval('#message', (m) => (m.hidden ? '' : m.textContent)), '');
    assert.match(asked, /^Apply the recipe\?/);
    assert.equal(await pageImageHash(page), fnv(fs.readFileSync(applied)));
  });

  await check('an image opened with wrong checksums is saved with them repaired', async () => {
    const dir = path.join(tmp, 'checksums');
    fs.mkdirSync(dir, { recursive: true });
    const name = 'wrong-sums.fls';
    const image = path.join(dir, name);
    native(['demo', image, '--type', '3310']);
    const bytes = fs.readFileSync(image);
    bytes[600000] ^= 0x01;
    fs.writeFileSync(image, bytes);
    assert.equal(native(['checksum', '--check', image], false).status, 1);
    const repaired = path.join(dir, 'repaired.fls');
    fs.copyFileSync(image, repaired);
    native(['checksum', '--fix', repaired]);
    await openByPicker(page, image);
    await page.click('#save');
    const saved = await waitDownload(name);
    assert.ok(saved.equals(fs.readFileSync(repaired)));
    fs.unlinkSync(path.join(downloads, name));
  });

  await check('the tabs by the keyboard alone, the colour scheme the system\'s', async () => {
    await page.focus('#tab-tones');
    await showTab(page, 'tones');
    for (const next of ['graphics', 'menu', 'languages', 'operators', 'tones']) {
      await page.keyboard.press('ArrowRight');
      assert.equal(await page.evaluate(() => document.activeElement.id), 'tab-' + next);
      assert.equal(await page.$eval('#panel-' + next, (p) => p.hidden), false);
    }
    // Tab moves from the tab into its list's chosen row.
    await page.keyboard.press('Tab');
    assert.equal(await page.evaluate(() => document.activeElement.closest('table')?.id), 'list-tones');
    const background = () => page.evaluate(() => getComputedStyle(document.body).backgroundColor);
    await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: 'light' }]);
    const light = await background();
    await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: 'dark' }]);
    const dark = await background();
    await page.emulateMediaFeatures([]);
    assert.notEqual(light, dark);
  });

  await check('readable at 200 % zoom: the controls wrap into the narrower window', async () => {
    // Twice the zoom is half as many CSS pixels across the same window.
    await page.setViewport({ width: 550, height: 450 });
    for (const tab of ['tones', 'graphics', 'menu', 'languages', 'operators']) {
      await showTab(page, tab);
      const outside = await page.evaluate(() => {
        const width = document.documentElement.clientWidth;
        const controls = document.querySelectorAll('header *, [role=tab], #facts *, .row > *');
        return [...controls]
          .filter((e) => e.getClientRects().length > 0 && e.getBoundingClientRect().right > width + 1)
          .map((e) => e.id || e.tagName);
      });
      assert.deepEqual(outside, [], `${tab}: controls beyond the window's right edge`);
    }
    await page.setViewport({ width: 1100, height: 900 });
  });

  let bigOpen = 0;
  let edit = 0;
  await check('a 4 MiB image opened, an edit shown (times)', async () => {
    const big = path.join(tmp, 'big.fls');
    native(['demo', big, '--type', '3310', '--size', '4']);
    await openByPicker(page, big);
    bigOpen = await page.evaluate(() => window.brivantTimes.open);
    await showTab(page, 'tones');
    await runForm(page, 'tones delete', { ROW: '0' });
    edit = await page.evaluate(() => window.brivantTimes.edit);
  });

  await check('the page from a static server', async () => {
    await page.goto(origin + 'index.html');
    await page.waitForSelector('body[data-ready="1"]');
    const image = path.join(tmp, 'demo-3310.fls');
    await openByPicker(page, image);
    assert.deepEqual(await tableRows(page, 'list-tones'), cellsOf(nativeJson(['tones', 'list', image]).rows));
  });

  await check('no request beyond the page\'s own files, no error in the console', async () => {
    assert.deepEqual(foreign, []);
    assert.deepEqual(problems, []);
  });

  await browser.close();
  server.close();
  const size = [...OWN_FILES].reduce((s, f) => s + fs.statSync(path.join(webDir, f)).size, 0);
  const ms = (t) => (typeof t === 'number' ? t.toFixed(0) : '?');
  console.log(`web: page ready ${ms(ready)} ms, 4 MiB image opened with all lists ` +
    `${ms(bigOpen)} ms, edit shown ${ms(edit)} ms, page ${size} bytes`);
  fs.rmSync(tmp, { recursive: true, force: true });
  if (failures) {
    console.log(`web: ${failures} failed`);
    process.exit(1);
  }
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
