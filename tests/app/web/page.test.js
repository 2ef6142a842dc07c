// The page (lorvane.html) in Debian's Chromium, offline, used as a user would:
// files chosen through the pickers or dropped, buttons pressed, prompts
// answered. Every page fails its test on a request that is not file:, data:
// or blob:, on an error in the page and on a crash of the module.
const {test, before, after} = require('node:test');
const http = require('node:http');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const {chromium} = require('playwright-core');

const source = (...parts) => fs.readFileSync(path.join(process.env.LORVANE_SOURCE_DIR, ...parts));
const demo = name => source('samples', name);
const messageText = id =>
  String(source('app', 'StringTable.def')).match(new RegExp(`LORVANE_STRING\\(${id}, "(.*)"\\)`))[1];
const kPrefixKey = 'Tobrin/Ellaste/Lorvane/Dialog/Prefix';
let browser;
before(async () => {
  browser = await chromium.launch({executablePath: '/usr/bin/chromium', args: ['--no-sandbox', '--disable-gpu',
    '--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run']});
});
after(() => browser.close());

// A new page, ready, in a context of its own. picker: files a stand-in for the
// File System Access API offers (and takes back into `written`); without it
// the page has no such API and uses file inputs and downloads.
async function open(t, {width = 1280, height = 800, picker, url} = {}) {
  const context = await browser.newContext({offline: !url, acceptDownloads: true, viewport: {width, height}});
  await context.addInitScript(files => {
    delete window.showOpenFilePicker;
    if (!files) return;
    window.written = {};
    window.showOpenFilePicker = async ({types}) => {
      const name = Object.keys(files).find(n => types[0].accept['application/octet-stream'].some(e => n.endsWith(e)));
      return [{getFile: async () => new File([Uint8Array.from(atob(files[name]), c => c.charCodeAt(0))], name),
        createWritable: async () => ({close: async () => {},
          write: async data => { window.written[name] = btoa(String.fromCharCode(...data)); }})}];
    };
  }, picker && Object.fromEntries(Object.entries(picker).map(([name, bytes]) => [name, bytes.toString('base64')])));
  const page = await context.newPage(), problems = page.problems = [];
  page.on('request', request => /^(file|data|blob):/.test(request.url()) || request.url() == url ||
    problems.push(request.url()));
  page.on('pageerror', error => problems.push(String(error)));
  page.on('console', message => message.type() == 'error' && problems.push(message.text()));
  t.after(async () => {
    assert.equal(await page.evaluate(() => 'aborted' in document.body.dataset), false, 'the module crashed');
    assert.deepEqual(problems, []);
    await context.close();
  });
  await page.goto(url || 'file://' + path.resolve(process.env.LORVANE_PAGE));
  await page.waitForSelector('body[data-ready]', {state: 'attached'});
  return page;
}
const idle = page => page.evaluate(() => Page.queue);
const text = (page, id) => page.$eval('#c' + id, e => e.value ?? e.textContent);
const lines = (page, id) => page.$eval('#c' + id, list => list.lines);
async function choose(page, button, name, buffer) {
  const [chooser] = await Promise.all([page.waitForEvent('filechooser'), page.click('#c' + button)]);
  await chooser.setFiles({name, mimeType: 'application/octet-stream', buffer});
  await idle(page);
}
async function answer(page, id, button) {
  await page.waitForSelector('#message[open]');
  assert.equal(await page.textContent('#message-text'), messageText(id));
  await page.click(`#message-buttons button:nth-child(${button})`);
}

for (const garmin of ['demo.wtr', 'demo.gpx']) {
  test(`RepairsTheDemoPairIntoADownload ${garmin}`, async t => {
    const page = await open(t);
    assert.equal(await page.evaluate(() => document.activeElement.id), 'c1013');
    await choose(page, 1001, garmin, demo(garmin));
    await choose(page, 1005, 'demo.gtm', demo('demo.gtm'));
    await page.click('#c1013');
    await idle(page);
    assert.deepEqual([await text(page, 1009), await text(page, 1010), await text(page, 1012)], ['12', '12', '12']);
    assert.equal((await lines(page, 1011))[0], '嘉明湖 3310');  // decoded by the module
    const download = page.waitForEvent('download');
    await page.click('#c1014');
    await answer(page, 1, 1);
    assert.deepEqual(fs.readFileSync(await (await download).path()), demo('demo.repaired.gtm'));
    await idle(page);
    assert.match(await page.textContent('#status'), /下載.*demo\.gtm/);
    assert.equal((await lines(page, 1008))[5], '←A1營     2620');  // listed again from the saved file
    assert.equal(await page.evaluate(key => localStorage.getItem(key), kPrefixKey), '←');
    await page.evaluate(key => localStorage.setItem(key, 'ab'), kPrefixKey);  // the next visit: the prefix, no paths
    await page.reload();
    await page.waitForSelector('body[data-ready]', {state: 'attached'});
    assert.deepEqual([await text(page, 1000), await text(page, 1003), await text(page, 1016)], ['', '', 'ab']);
  });
}

test('WritesTheRepairBackIntoTheChosenFile', async t => {
  const page = await open(t, {picker: {'demo.wtr': demo('demo.wtr'), 'demo.gtm': demo('demo.gtm')}});
  await page.click('#c1001');
  await page.click('#c1005');
  await page.click('#c1013');
  await page.click('#c1014');
  await answer(page, 1, 1);
  await idle(page);
  assert.deepEqual(Buffer.from(await page.evaluate(() => written['demo.gtm']), 'base64'), demo('demo.repaired.gtm'));
  assert.match(await page.textContent('#status'), /寫回.*demo\.gtm/);
});

test('HostileFilesAreRefusedWithoutACrash', async t => {
  const page = await open(t);
  let laughs = '<!ENTITY l0 "lol">';
  for (let i = 1; i <= 9; ++i) laughs += `<!ENTITY l${i} "${`&l${i - 1};`.repeat(10)}">`;
  const huge = Buffer.from('MsRcd\0\xF0\xFF\xFF\xFFD', 'latin1');  // a record that claims 4 GB
  for (const [name, bytes] of [
    ['laughs.gpx', `<!DOCTYPE gpx [${laughs}]><gpx><wpt lat="1" lon="2"><name>&l9;</name></wpt></gpx>`],
    ['huge.mps', huge]]) {
    await choose(page, 1001, name, Buffer.from(bytes));
    assert.equal(await text(page, 1009), '', name);  // not loaded: the count keeps its text
  }
  // A MapSource file may end after any record: a cut one lists the records before the cut.
  const gdb = path.join(process.env.LORVANE_SAMPLES_DIR, 'gdb-sample.gdb');  // a real file, where the samples are
  if (fs.existsSync(gdb)) {
    await choose(page, 1001, 'cut.gdb', fs.readFileSync(gdb).subarray(0, 10000));
    const listed = (await lines(page, 1002)).length;
    assert.ok(listed > 0 && listed < 199 && await text(page, 1009) == listed);
  }
  const lying = Buffer.from(demo('demo.gtm'));
  lying.writeInt32LE(0x7FFFFFFF, 35);  // the waypoint count
  for (const gtm of [demo('demo.gtm').subarray(0, 300), lying]) {
    await choose(page, 1005, 'bad.gtm', gtm);
    assert.deepEqual([await lines(page, 1008), await text(page, 1010)], [[], '0']);
  }
  await choose(page, 1001, 'demo.wtr', demo('demo.wtr'));  // the module still works
  assert.equal(await text(page, 1009), '12');
});

test('DroppedPairWithProblemRowsIsMarkedAndLinked', async t => {
  const page = await open(t);
  // 嘉明湖 left out (no name for its row); 天池 moved, and another name of its length and altitude beside it
  // (uncertain).
  const gpx = String(demo('demo.gpx')).replace(/<wpt[^]*?嘉明湖[^]*?<\/wpt>/, '')
    .replace('lat="24.0830" lon="121.2080"', 'lat="24.1" lon="121.3"')
    .replace('</gpx>', '<wpt lat="24.2" lon="121.4"><ele>2860</ele><name>池天</name></wpt></gpx>');
  const drop = await page.evaluateHandle(([gpx, gtm]) => {
    const files = new DataTransfer();
    files.items.add(new File([gpx], 'missing.gpx'));
    files.items.add(new File([Uint8Array.from(gtm)], 'demo.gtm'));
    return files;
  }, [gpx, [...demo('demo.gtm')]]);
  await page.dispatchEvent('main', 'drop', {dataTransfer: drop});
  await page.waitForFunction(() => document.querySelector('#c1008').lines.length == 12);
  await page.click('#c1013');
  await answer(page, 2, 1);
  await idle(page);
  const marks = await page.$$eval('#c1008 [role=option]',
    all => all.map(row => row.className && `${row.className} ${getComputedStyle(row).color}`));
  assert.deepEqual(marks, ['not-corrected rgb(176, 0, 32)', '', '', '', 'uncertain rgb(160, 64, 0)', ...Array(7).fill('')]);
  assert.equal(await page.$eval('#c1008', list => list.selected), 0);  // the first problem row
  await page.focus('#c1008');
  await page.keyboard.press('ArrowDown');  // 日月潭: the first Garmin line, the first corrected line
  await idle(page);
  assert.deepEqual(await page.$$eval('.list-box', all => all.map(list => list.selected)), [0, 1, 0]);
});

test('LaidOutForAnyWidthInTheTemplatesTabOrder', async t => {
  const template = [...String(source('app', 'DialogTemplate.def')).matchAll(/LORVANE_CONTROL\((\d+), (\w+)/g)];
  const stops = template.filter(([, id, kind]) => !/Label/.test(kind) && id != '1006').map(([, id]) => 'c' + id);
  for (const [width, sideBySide] of [[1280, true], [640, false]]) {  // 640: 1280 pixels at 200%
    const page = await open(t, {width});
    const boxes = await page.$$eval('.list-box', all => all.map(list => list.getBoundingClientRect()));
    assert.equal(boxes.every(box => box.top == boxes[0].top), sideBySide, `width ${width}`);
    assert.ok(boxes.every((box, i) => box.right <= width && (sideBySide || i == 0 || box.top > boxes[i - 1].bottom)));
    assert.ok(await page.$$eval('label', all => all.every(label =>
      label.control || label.id == document.getElementById(label.htmlFor).getAttribute('aria-labelledby'))));
    const order = [];
    for (const _ of stops) {
      order.push(await page.evaluate(() => document.activeElement.id));
      await page.keyboard.press('Tab');
    }
    assert.deepEqual(order, stops);
  }
});

test('PolicyRefusesRequestsOfThePage', async t => {
  const page = await open(t);
  const refused = await page.evaluate(() => new Promise(resolve => {
    const directives = [];
    document.addEventListener('securitypolicyviolation',
      event => directives.push(event.effectiveDirective) == 3 && resolve(directives));
    fetch('https://example.com/').catch(() => {});
    new Image().src = 'https://example.com/a.png';
    document.body.append(Object.assign(document.createElement('script'), {src: 'https://example.com/a.js'}));
  }));
  assert.deepEqual(refused.sort(), ['connect-src', 'img-src', 'script-src-elem']);
  page.problems.splice(0);  // the browser's reports of the refusals
});

test('LoadsFromAWebServerWithNoOtherRequest', async t => {
  const server = http.createServer((request, response) =>
    response.writeHead(200, {'content-type': 'text/html'}).end(fs.readFileSync(process.env.LORVANE_PAGE)));
  await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
  t.after(() => server.close());
  const page = await open(t, {url: `http://127.0.0.1:${server.address().port}/lorvane.html`});
  await choose(page, 1001, 'demo.wtr', demo('demo.wtr'));
  assert.equal(await text(page, 1009), '12');
});
