// Measures the page in headless Chromium and takes its pictures:
//
//   NODE_PATH=<folder holding playwright-core> node bench/page.js PAGE NATIVE_BUILD [SHOTS_FOLDER]
//
// PAGE is build/web/lorvane.html; NATIVE_BUILD a native build folder holding
// cli/lorvane-cli and bench/lorvane-make-inputs (tools/bench.sh makes
// build/bench). Prints the page's size, the time until it is ready, a whole
// demo repair, and the listing of the benchmark's GDB file (10,000 waypoints,
// 1,000,000 track points) in the page beside `lorvane-cli list` of the same
// file; medians of RUNS (default 11) runs. With SHOTS_FOLDER it writes
// web-wide.png, web-narrow.png (1280 pixels at 200% zoom), web-marked.png
// (the uncertain row selected) and web-prefix-question.png.
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const {execFileSync} = require('node:child_process');
const {chromium} = require('playwright-core');

const [pagePath, native, shots] = process.argv.slice(2);
const runs = Number(process.env.RUNS || 11);
const root = path.resolve(__dirname, '..');
const demo = name => fs.readFileSync(path.join(root, 'samples', name));
const median = values => values.sort((a, b) => a - b)[values.length >> 1];
const ms = value => `${value.toFixed(1)} ms`;

async function open(browser, viewport = {width: 1280, height: 800}, deviceScaleFactor = 1) {
  const context = await browser.newContext({offline: true, acceptDownloads: true, viewport, deviceScaleFactor});
  await context.addInitScript(() => delete window.showOpenFilePicker);
  const page = await context.newPage();
  await page.goto('file://' + path.resolve(pagePath));
  await page.waitForSelector('body[data-ready]', {state: 'attached'});
  return page;
}

// Files handed to the page as a drop would hand them, timed from the drop to
// the lists drawn.
async function drop(page, files) {
  return page.evaluate(async names => {
    const start = performance.now();
    await Page.dropped(names.map(name => ({file: window.benchFiles[name], handle: null})));
    await Page.queue;
    document.body.offsetHeight;  // the layout of the new lines
    return performance.now() - start;
  }, files);
}
async function give(page, files) {
  const input = await page.evaluateHandle(() =>
    Object.assign(document.createElement('input'), {type: 'file', multiple: true}));
  await input.setInputFiles(Object.entries(files).map(([name, buffer]) =>
    ({name, mimeType: 'application/octet-stream', buffer})));
  await page.evaluate(input => {
    window.benchFiles = Object.fromEntries([...input.files].map(file => [file.name, file]));
  }, input);
}

(async () => {
  const browser = await chromium.launch({executablePath: '/usr/bin/chromium', args: ['--no-sandbox', '--disable-gpu',
    '--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run']});
  const load = os.loadavg().map(l => l.toFixed(2)).join(' ');
  console.log(`machine: ${os.cpus().length} cores, ${os.cpus()[0].model}, load ${load}`);
  console.log(`lorvane.html: ${fs.statSync(pagePath).size} bytes`);

  const ready = [], pair = [], repair = [];
  for (let i = 0; i < runs; ++i) {
    const page = await open(browser);
    ready.push(await page.evaluate(() => Page.readyAt));
    await give(page, {'demo.wtr': demo('demo.wtr'), 'demo.gtm': demo('demo.gtm')});
    // The prompt answered Yes at once: the module's own work from the drop to the hand-over.
    await page.evaluate(() => { Page.message = async () => 1; });
    pair.push(await drop(page, ['demo.wtr', 'demo.gtm']));
    repair.push(await page.evaluate(async () => {
      const start = performance.now();
      for (const id of [1013, 1014]) Page.call('lorvane_command', ['number'], [id]);
      await Page.queue;
      return performance.now() - start;
    }));
    await page.context().close();
  }
  console.log(`page ready (navigation start to the dialog listed): median ${ms(median(ready))}`);
  console.log(`demo pair dropped and listed: median ${ms(median(pair))}`);
  console.log(`demo repair (corrected, saved with the prefix, downloaded): median ${ms(median(repair))}`);

  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'lorvane-page-bench-'));
  execFileSync(path.join(native, 'bench', 'lorvane-make-inputs'), ['--kinds', 'gdb', work]);
  const gdb = path.join(work, 'bench.gdb'), cli = [], listing = [];
  const page = await open(browser);
  await give(page, {'bench.gdb': fs.readFileSync(gdb)});
  // The two take turns, so that they share the machine's load alike.
  for (let i = 0; i < runs; ++i) {
    const start = process.hrtime.bigint();
    execFileSync(path.join(native, 'cli', 'lorvane-cli'), ['list', gdb], {stdio: ['ignore', 'ignore', 'ignore']});
    cli.push(Number(process.hrtime.bigint() - start) / 1e6);
    listing.push(await drop(page, ['bench.gdb']));
  }
  const count = await page.$eval('#c1009', e => e.textContent);
  console.log(`GDB file of ${fs.statSync(gdb).size} bytes, ${count} waypoints listed: page ${ms(median(listing))}, ` +
    `lorvane-cli list ${ms(median(cli))} (${(median(listing) / median(cli)).toFixed(2)} times)`);
  fs.rmSync(work, {recursive: true});

  if (shots) await pictures(browser, shots);
  await browser.close();
})();

async function pictures(browser, folder) {
  fs.mkdirSync(folder, {recursive: true});
  const gpx = String(demo('demo.gpx')).replace(/<wpt[^]*?嘉明湖[^]*?<\/wpt>/, '')
    .replace('lat="24.0830" lon="121.2080"', 'lat="24.1" lon="121.3"')
    .replace('</gpx>', '<wpt lat="24.2" lon="121.4"><ele>2860</ele><name>池天</name></wpt></gpx>');
  // narrow: a window of 1280 pixels at 200% zoom.
  const windows = [['wide', {width: 1280, height: 720}, 1], ['narrow', {width: 640, height: 1200}, 2]];
  for (const [name, viewport, scale] of windows) {
    const page = await open(browser, viewport, scale);
    await give(page, {'demo.wtr': demo('demo.wtr'), 'demo.gtm': demo('demo.gtm')});
    await drop(page, ['demo.wtr', 'demo.gtm']);
    await page.click('#c1013');
    await page.evaluate(() => Page.queue);
    await page.screenshot({path: path.join(folder, `web-${name}.png`), fullPage: true});
    if (name == 'wide') {
      await page.click('#c1014');
      await page.waitForSelector('#message[open]');
      await page.screenshot({path: path.join(folder, 'web-prefix-question.png')});
    }
    await page.context().close();
  }
  const page = await open(browser, {width: 1280, height: 720});
  await give(page, {'problems.gpx': Buffer.from(gpx), 'demo.gtm': demo('demo.gtm')});
  await drop(page, ['problems.gpx', 'demo.gtm']);
  await page.click('#c1013');
  await page.waitForSelector('#message[open]');
  await page.click('#message-buttons button');
  await page.evaluate(() => Page.queue);
  await page.focus('#c1008');
  for (let i = 0; i < 4; ++i) await page.keyboard.press('ArrowDown');  // the uncertain row, and its links
  await page.evaluate(() => Page.queue);
  await page.screenshot({path: path.join(folder, 'web-marked.png')});
  await page.context().close();
}
