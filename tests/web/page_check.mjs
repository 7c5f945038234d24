// Opens a show's page in headless Chromium from file://, lets the page check itself (#selftest:
// it taps its card, notes digests of the canvas at chosen frames, measures the sound and
// presses Escape), and compares what it saw with the renderer's PNG frames.
//
//   node page_check.mjs --chromium PATH --page FILE.html --renderer PATH --check 60,600
//                       --end 900 [--sound no] [--timeout SECONDS] [--clock real]
//                       [--overrides DIR] [--title TEXT]
//
// The page runs on the renderer's steady clock unless --clock real: then it keeps real time,
// and on a busy machine its late passes may move the show on too far for the comparison.
// The renderer (the show's -render program) makes the PNG frames of the moments the page
// showed at the checked frames, and a few either side; with --overrides, from the files in DIR,
// which the page is expected to have built in. --title: the title the card to tap and the
// document must show.
// Exit status 0 when everything matches, 1 when something does not, 2 on bad arguments.
import {spawn, spawnSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {pathToFileURL} from 'node:url';
import zlib from 'node:zlib';

const kSlack = 5;  // frames either side: late passes move some scenes on by more than others

function fail(message, status = 1) {
  process.stderr.write(`page_check: ${message}\n`);
  process.exit(status);
}

function parseArgs(argv) {
  const args = {timeout: 120};
  for (let i = 0; i < argv.length; i += 2) {
    const key = argv[i].replace(/^--/, '');
    if (i + 1 >= argv.length) fail(`${argv[i]} needs a value`, 2);
    args[key] = argv[i + 1];
  }
  for (const need of ['chromium', 'page', 'renderer', 'check', 'end']) {
    if (args[need] === undefined) fail(`--${need} is missing`, 2);
  }
  args.check = args.check.split(',').filter(Boolean).map(Number);
  args.sound = args.sound !== 'no';
  args.end = Number(args.end);
  args.timeout = Number(args.timeout);
  args.rendererOptions = args.overrides === undefined ? [] : ['--overrides', args.overrides];
  return args;
}

// The RGB bytes of an 8-bit RGB or RGBA PNG, row after row.
export function decodePng(bytes) {
  if (bytes.readUInt32BE(0) !== 0x89504e47) throw new Error('not a PNG');
  let at = 8, width = 0, height = 0, channels = 0;
  const idat = [];
  while (at < bytes.length) {
    const length = bytes.readUInt32BE(at);
    const type = bytes.toString('latin1', at + 4, at + 8);
    const data = bytes.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = data.readUInt32BE(0);
      height = data.readUInt32BE(4);
      if (data[8] !== 8 || data[12] !== 0) throw new Error('only 8-bit, non-interlaced PNGs');
      channels = {2: 3, 6: 4}[data[9]];
      if (!channels) throw new Error('only RGB or RGBA PNGs');
    } else if (type === 'IDAT') {
      idat.push(data);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(idat));
  const stride = width * channels;
  const out = Buffer.alloc(width * height * 3);
  let previous = Buffer.alloc(stride);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    const line = Buffer.from(raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1)));
    for (let i = 0; i < stride; i++) {
      const a = i >= channels ? line[i - channels] : 0;
      const b = previous[i];
      const c = i >= channels ? previous[i - channels] : 0;
      let add = 0;
      if (filter === 1) add = a;
      else if (filter === 2) add = b;
      else if (filter === 3) add = (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        add = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      line[i] = (line[i] + add) & 255;
    }
    for (let x = 0; x < width; x++) line.copy(out, (y * width + x) * 3, x * channels, x * channels + 3);
    previous = line;
  }
  return {width, height, rgb: out};
}

// The page's digest: FNV-1a over the R, G, B bytes.
export function digest(rgb) {
  let hash = 0x811c9dc5;
  for (let i = 0; i < rgb.length; i++) {
    hash ^= rgb[i];
    hash = Math.imul(hash, 0x01000193) >>> 0;
  }
  return hash.toString(16).padStart(8, '0');
}

// A Chromium driven through its DevTools pipe (file descriptors 3 and 4).
export class Browser {
  constructor(executable) {
    this.profile = fs.mkdtempSync(path.join(os.tmpdir(), 'page-check-'));
    this.process = spawn(executable, [
      '--headless', '--no-sandbox', '--disable-gpu', '--remote-debugging-pipe',
      '--autoplay-policy=no-user-gesture-required', '--no-first-run',
      '--window-size=800,600', `--user-data-dir=${this.profile}`, 'about:blank',
    ], {stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe']});
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = [];
    let buffered = Buffer.alloc(0);
    this.process.stdio[4].on('data', (chunk) => {
      buffered = Buffer.concat([buffered, chunk]);
      let end;
      while ((end = buffered.indexOf(0)) >= 0) {
        const message = JSON.parse(buffered.toString('utf8', 0, end));
        buffered = buffered.subarray(end + 1);
        if (message.id && this.pending.has(message.id)) {
          const {resolve, reject} = this.pending.get(message.id);
          this.pending.delete(message.id);
          if (message.error) reject(new Error(message.error.message));
          else resolve(message.result);
        } else {
          for (const listener of this.listeners) listener(message);
        }
      }
    });
    this.exited = new Promise((resolve) => this.process.on('exit', resolve));
  }
  send(method, params = {}, sessionId = undefined) {
    const id = this.nextId++;
    const message = JSON.stringify({id, method, params, ...(sessionId ? {sessionId} : {})});
    this.process.stdio[3].write(message + '\0');
    return new Promise((resolve, reject) => this.pending.set(id, {resolve, reject}));
  }
  async close() {
    this.send('Browser.close').catch(() => {});
    const timer = setTimeout(() => this.process.kill('SIGKILL'), 5000);
    await this.exited;
    clearTimeout(timer);
    fs.rmSync(this.profile, {recursive: true, force: true});
  }
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function runPage(args) {
  const browser = new Browser(args.chromium);
  const consoleErrors = [];
  browser.listeners.push((message) => {
    if (process.env.PAGE_CHECK_VERBOSE && message.method) {
      process.stderr.write(`${JSON.stringify(message).slice(0, 3000)}\n`);
    }
    if (message.method === 'Runtime.exceptionThrown') {
      consoleErrors.push(message.params.exceptionDetails.text);
    } else if (message.method === 'Runtime.consoleAPICalled' && message.params.type === 'error') {
      consoleErrors.push(message.params.args.map((a) => a.value ?? a.description).join(' '));
    } else if (message.method === 'Log.entryAdded' && message.params.entry.level === 'error') {
      consoleErrors.push(message.params.entry.text);
    }
  });
  try {
    const {targetId} = await browser.send('Target.createTarget', {url: 'about:blank'});
    const {sessionId} = await browser.send('Target.attachToTarget', {targetId, flatten: true});
    await browser.send('Runtime.enable', {}, sessionId);
    await browser.send('Log.enable', {}, sessionId);
    await browser.send('Page.enable', {}, sessionId);
    const clock = args.clock === 'real' ? '&clock=real' : '';
    const url = `file://${path.resolve(args.page)}#selftest&frames=${args.check.join(',')}&end=${args.end}${clock}`;
    await browser.send('Page.navigate', {url}, sessionId);
    const deadline = Date.now() + args.timeout * 1000;
    while (Date.now() < deadline) {
      await sleep(500);
      const {result} = await browser.send('Runtime.evaluate', {
        expression: "(document.getElementById('verdict') || {}).textContent || ''",
        returnByValue: true,
      }, sessionId);
      if (result.value) return {verdict: JSON.parse(result.value), consoleErrors};
    }
    const {result} = await browser.send('Runtime.evaluate', {
      expression: "document.body ? document.body.innerText : ''", returnByValue: true,
    }, sessionId);
    fail(`no verdict from the page within ${args.timeout} s; it shows: ${result.value}`);
  } finally {
    await browser.close();
  }
  return null;
}

async function main() {
  const args = parseArgs(process.argv.slice(2));
  const {verdict, consoleErrors} = await runPage(args);
  if (process.env.PAGE_CHECK_VERBOSE) process.stderr.write(`${JSON.stringify(verdict)}\n`);
  const problems = [];
  for (const error of [...consoleErrors, ...verdict.errors]) problems.push(`console error: ${error}`);
  if (verdict.state !== 'ended') problems.push(`the page did not end (${verdict.state})`);
  if (!/ended/.test(verdict.page)) problems.push(`the page says "${verdict.page}", not that it ended`);
  if (args.sound && !(verdict.audioPeak > 0.001)) problems.push(`the sound stayed silent (peak ${verdict.audioPeak})`);
  if (verdict.shown < args.end) problems.push(`only ${verdict.shown} frames shown before the end`);
  if (args.title !== undefined) {
    if (verdict.card !== args.title) problems.push(`the card says "${verdict.card}", not "${args.title}"`);
    if (verdict.documentTitle !== args.title) {
      problems.push(`the document's title is "${verdict.documentTitle}", not "${args.title}"`);
    }
  }
  const frames = renderFrames(args, verdict);
  for (const frame of args.check) {
    const seen = verdict.digests[frame];
    if (!seen) {
      problems.push(`frame ${frame}: the page noted no digest`);
      continue;
    }
    // The page keeps real time: a late pass moves the show on by more than a frame, so the
    // renderer's frame to compare is the one of the same moment, which the page tells.
    const moment = seen.moment;
    const near = [];
    for (let n = Math.max(1, moment - kSlack); n <= moment + kSlack; n++) {
      const file = path.join(frames, `frame-${String(n).padStart(6, '0')}.png`);
      if (fs.existsSync(file)) near.push([n, digest(decodePng(fs.readFileSync(file)).rgb)]);
    }
    const match = near.find(([, d]) => d === seen.digest);
    if (near.length === 0) {
      problems.push(`frame ${frame} (moment ${moment}): the renderer made no frames near it`);
    } else if (!match) {
      problems.push(`frame ${frame}: the canvas matches no renderer frame from ${moment - kSlack} to ${moment + kSlack}`);
    } else {
      process.stdout.write(`frame ${frame}: the canvas is the renderer's frame ${match[0]}\n`);
    }
  }
  process.stdout.write(`sound peak ${verdict.audioPeak.toFixed(3)}; ${verdict.passes} passes, ` +
                       `${verdict.passMilliseconds.toFixed(3)} ms of work each in the page\n`);
  fs.rmSync(frames, {recursive: true, force: true});
  // The same passes natively, for comparison: wall time with the audio mix, less the start.
  const timed = (passes) => {
    const started = process.hrtime.bigint();
    spawnSync(args.renderer, [...args.rendererOptions, '--max-passes', String(passes)],
              {stdio: 'ignore'});
    return Number(process.hrtime.bigint() - started) / 1e6;
  };
  const native = (timed(args.end) - timed(1)) / Math.max(1, args.end - 1);
  process.stdout.write(`the renderer: ${native.toFixed(3)} ms a pass natively\n`);
  if (problems.length) fail(problems.join('\n'));
}

// The renderer's frames around the moments the page showed, in a new temporary folder.
function renderFrames(args, verdict) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'page-check-frames-'));
  const moments = Object.values(verdict.digests).map((seen) => seen.moment);
  if (moments.length === 0) return folder;
  const ranges = moments.map((m) => `${Math.max(1, m - kSlack)}-${m + kSlack}`).join(',');
  const last = Math.max(...moments) + kSlack;
  const run = spawnSync(args.renderer, [...args.rendererOptions, '--out', folder, '--frames', ranges,
                                        '--max-passes', String(last)],
                        {stdio: ['ignore', 'ignore', 'inherit']});
  // 3: stopped at --max-passes, as asked.
  if (run.status !== 0 && run.status !== 3) {
    fail(`${args.renderer} failed (${run.error || `status ${run.status}`})`);
  }
  return folder;
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
  main().catch((error) => fail(error.stack || String(error)));
}
