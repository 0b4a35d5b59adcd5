// The web console in Debian's Chromium (headless, driven by playwright-core).
// Each test starts its own `velkor --emulate serve` on a free port of
// 127.0.0.1 with a token file, and stops it after.  The tests: logging in
// with the token (it leaves the address bar for an HttpOnly cookie, and the
// form logs in by keyboard); the EPC box; a watch showing the six emulated
// tags, and its CSV; the settings form; user memory written on a tag's page
// and read back; a permalock and a kill sent only once typed again; three
// tags commissioned; a job stopped and resumed over a restart of the server.  No test may see a console error, a failed load or a
// request to another host.  Screenshots at desktop and phone sizes go to
// ARTIFACTS.
//   VELKOR_TOOL=... CHROMIUM=/usr/bin/chromium ARTIFACTS=dir node console_test.mjs [name...]
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { randomBytes } from 'node:crypto';
import { mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { createInterface } from 'node:readline';
import { chromium } from 'playwright-core';

const tool = process.env.VELKOR_TOOL;
const artifacts = process.env.ARTIFACTS;
mkdirSync(artifacts, { recursive: true });
const scratch = mkdtempSync(join(tmpdir(), 'velkor-console-'));
const WAIT = { timeout: 20000 };

const SIZES = {
  desktop: { viewport: { width: 1280, height: 800 } },
  phone: { viewport: { width: 390, height: 844 }, isMobile: true, hasTouch: true, deviceScaleFactor: 2 },
};

// The six tags `velkor --emulate` (seed 1) places in the field.
const EMULATED_EPCS = ['5CC1EC67555EC90BB5B90280', '8BFE5DC0A28A57A84A3B0B63',
  '8FCD06ACB99FB6F77135F7AB', 'E01CFC17FF0CE0F553C19D18', '60817E38685E9F963073D57A',
  'ECAF7AAF94CC6252C852CE14'];

// Starts `velkor READER_OPTIONS serve` on a free port with a token file;
// resolves once it printed its address.  again: {port, token, state} of a
// server before, to start its successor where it was.
function startServer(readerOptions = ['--emulate'], again = null) {
  const token = again?.token ?? randomBytes(24).toString('hex');
  const tokenFile = join(scratch, `token-${token.slice(0, 8)}`);
  writeFileSync(tokenFile, `${token}\n`, { mode: 0o600 });
  // Commissioning journals go under the state directory: this run's own.
  const state = again?.state ?? mkdtempSync(join(scratch, 'state-'));
  const server = spawn(tool, [...readerOptions, 'serve', '--listen',
    `127.0.0.1:${again?.port ?? 0}`, '--token-file', tokenFile], {
    cwd: scratch,
    env: { ...process.env, XDG_STATE_HOME: state },
    stdio: ['ignore', 'pipe', 'inherit'],
  });
  return new Promise((resolve, reject) => {
    const lines = createInterface({ input: server.stdout });
    lines.once('line', (line) => {
      const match = line.match(/(http:\/\/127\.0\.0\.1:\d+\/)/);
      if (match) resolve({ server, base: match[1], token, state, port: Number(new URL(match[1]).port) });
      else reject(new Error(`no address in: ${line}`));
    });
    server.once('exit', (code) => reject(new Error(`velkor serve ended (${code})`)));
  });
}

// Stops the server and waits for it to be gone.
function stopServer(server) {
  if (server.exitCode !== null) return Promise.resolve();
  const gone = new Promise((resolve) => server.once('exit', resolve));
  server.kill('SIGTERM');
  return gone;
}

// A new browser context at a size, with every console error, page error,
// failed load and request to another host collected in problems.
async function openPage(browser, base, size, problems) {
  const context = await browser.newContext(SIZES[size]);
  const page = await context.newPage();
  page.on('console', (m) => {
    if (m.type() === 'error') problems.push(`console: ${m.text()} (${m.location()?.url})`);
  });
  page.on('pageerror', (e) => problems.push(`page: ${e.message}`));
  page.on('response', (r) => {
    if (r.status() >= 400) problems.push(`${r.status()} ${r.url()}`);
  });
  page.on('request', (r) => {
    if (!r.url().startsWith(base) && !r.url().startsWith('blob:'))
      problems.push(`a request to another host: ${r.url()}`);
  });
  return { context, page };
}

// The problems but those of a refusal the test asked for: a failed load of
// a URL allowed matches, and so does the console's line about it (which
// ends with the URL, in parentheses).
const unexpected = (problems, allowed) => problems.filter((p) => !allowed.test(p));

// Opens the console the way the printed address does: with ?token=.
async function logIn(page, base, token) {
  await page.goto(`${base}?token=${token}`);
  await page.getByText('Connected: velkor serve').waitFor(WAIT);
}

// Starts a job of `count` serials from `from` on the Commissioning page.
async function startCommissioning(page, from, count, filter = '') {
  await page.getByRole('link', { name: 'Commissioning' }).click();
  const box = page.locator('#commission');
  await box.getByLabel('GTIN', { exact: true }).fill('80614141123458');
  await box.getByLabel('Company prefix length').fill('7');
  await box.getByLabel('Serials from').fill(from);
  await box.getByLabel('How many').fill(String(count));
  if (filter) await box.getByLabel('Filter', { exact: true }).fill(filter);
  await page.getByRole('button', { name: 'Start', exact: true }).click();
}

const shot = (page, name) => page.screenshot({ path: join(artifacts, `${name}.png`), fullPage: true });

// Runs `body` on a console logged in to a server of its own (started with
// `args`), once per size, and stops both after.
async function onConsole(browser, args, sizes, body) {
  const { server, base, token } = await startServer(args);
  try {
    for (const size of sizes) {
      const problems = [];
      const { context, page } = await openPage(browser, base, size, problems);
      try {
        await logIn(page, base, token);
        // The reader listed first: a page that acts on one before the list
        // came (a slow server) says there is none.
        await page.locator('#reader-rows td').first().waitFor(WAIT);
        await body({ page, context, base, token, size, problems });
      } finally {
        await context.close();
      }
    }
  } finally {
    await stopServer(server);
  }
}

const tests = {
  async login(browser) {
    await onConsole(browser, ['--emulate'], ['desktop'], async ({ page, context, base, token, problems }) => {
      assert.equal(page.url(), base, 'the token left the address bar');
      const [cookie] = await context.cookies(base);
      assert.equal(cookie.value, token);
      assert.equal(cookie.httpOnly, true);
      assert.equal(cookie.sameSite, 'Strict');
      await page.getByRole('link', { name: 'API' }).click();
      assert.ok(await page.locator('#endpoints tr').count() >= 17, 'every endpoint is listed');
      await shot(page, 'api-desktop');
      assert.deepEqual(problems, [], 'no console errors, failed loads or other hosts');

      // Without the cookie: the form, by its label and the keyboard.  The
      // 401 that told the page it is logged out is expected; nothing else is.
      await context.clearCookies();
      await page.goto(base);
      const field = page.getByLabel('Token');
      await field.waitFor(WAIT);
      await shot(page, 'login-desktop');
      await field.fill(token);
      await field.press('Enter');
      await page.getByText('Connected: velkor serve').waitFor(WAIT);
      assert.equal(page.url(), `${base}`);
      assert.deepEqual(unexpected(problems, /^401 .*\/openapi\.json$|401.*\/openapi\.json\)$/), [],
        'no console errors, failed loads or other hosts but the 401 that shows the form');
    });
  },

  async epc(browser) {
    await onConsole(browser, ['--emulate'], ['desktop', 'phone'], async ({ page, size, problems }) => {
      await page.getByRole('link', { name: 'EPC', exact: true }).click();
      const box = page.locator('#epc');
      await page.locator('#epc').getByLabel('EPC (hex)', { exact: true }).fill('3074257BF7194E4000001A85');
      await page.getByRole('button', { name: 'Decode' }).click();
      await page.locator('#epc-fields').getByText('urn:epc:tag:sgtin-96:3.0614141.812345.6789').waitFor(WAIT);
      await page.locator('#epc-fields').getByText('(01)80614141123458(21)6789').waitFor(WAIT);
      // A GTIN with a wrong check digit: the server's words, shown as they are.
      await box.getByLabel('GTIN', { exact: true }).fill('80614141123459');
      await box.getByLabel('Serial', { exact: true }).fill('1');
      await page.getByRole('button', { name: 'Encode' }).click();
      await page.getByText('Failed: GTIN: check digit 9').waitFor(WAIT);
      await box.getByLabel('GTIN', { exact: true }).fill('80614141123458');
      await box.getByLabel('Serial', { exact: true }).fill('6789');
      await box.getByLabel('Filter', { exact: true }).fill('3');
      await page.getByRole('button', { name: 'Encode' }).click();
      await page.locator('#epc-fields').getByText('3074257BF7194E4000001A85').waitFor(WAIT);
      await shot(page, `epc-${size}`);
      assert.deepEqual(unexpected(problems, /\/api\/v1\/epc\/encode\)?$/), [],
        'no console errors, failed loads or other hosts but the refused encoding');
    });
  },

  async watch(browser) {
    await onConsole(browser, ['--emulate'], ['desktop', 'phone'], async ({ page, size, problems }) => {
      await shot(page, `readers-${size}`);
      await page.getByRole('link', { name: 'Inventory' }).click();
      await page.getByRole('button', { name: 'Start', exact: true }).click();
      const rows = page.locator('#tag-rows tr');
      for (const epc of EMULATED_EPCS) await rows.filter({ hasText: epc }).waitFor(WAIT);
      assert.equal(await rows.count(), 6, 'six tags, each in one row');
      await page.locator('#tag-rows tr', { hasText: 'present' }).nth(5).waitFor(WAIT);
      // The chart has drawn a second with reads in it.
      await page.waitForFunction(() => Number(document.getElementById('rate-now').textContent) > 0,
        null, WAIT);
      await shot(page, `inventory-${size}`);
      await page.getByRole('button', { name: 'Stop' }).click();
      await page.getByText(/^Stopped on /).waitFor(WAIT);
      // CSV: a header and the six tags.
      const [download] = await Promise.all([page.waitForEvent('download'),
        page.getByRole('button', { name: 'Export CSV' }).click()]);
      const path = join(scratch, `inventory-${size}.csv`);
      await download.saveAs(path);
      const lines = readFileSync(path, 'utf8').trim().split('\r\n');
      assert.equal(lines[0], 'epc,uri,tid,antenna,reads,first_seen,last_seen,present');
      assert.deepEqual(lines.slice(1).map((l) => l.split(',')[0]).sort(), [...EMULATED_EPCS].sort());
      assert.deepEqual(problems, [], 'no console errors, failed loads or other hosts');
    });
  },

  async settings(browser) {
    await onConsole(browser, ['--emulate'], ['desktop'], async ({ page, base, problems }) => {
      const form = page.locator('#settings-form');
      await form.getByLabel('Power (dBm)').waitFor(WAIT);
      assert.equal(await form.getByLabel('Power (dBm)').inputValue(), '30');
      await form.getByLabel('Power (dBm)').fill('20');
      await form.getByRole('button', { name: 'Save changed settings' }).click();
      // Only the field changed was sent, and the reader now says 20.
      await page.getByText('Saved: power dbm.').waitFor(WAIT);
      await page.locator('#reader-rows td', { hasText: '20 dBm' }).waitFor(WAIT);
      // A value the reader refuses: its words, and the setting as it was.
      await form.getByLabel('Power (dBm)').fill('33');
      await form.getByLabel('Lowest channel').fill('60');
      await form.getByRole('button', { name: 'Save changed settings' }).click();
      await page.locator('#settings-outcome', { hasText: /^Failed: / }).waitFor(WAIT);
      // The form shows the reader's channels again, not the refused one.
      await page.waitForFunction(() => document.getElementById('set-lowest').value === '0', null, WAIT);
      await shot(page, 'settings-desktop');
      assert.deepEqual(unexpected(problems, /\/settings\)?$/), [],
        'no console errors, failed loads or other hosts but the refused change');
    });
  },

  async memory(browser) {
    await onConsole(browser, ['--emulate'], ['desktop'], async ({ page, base, problems }) => {
      await page.getByRole('link', { name: 'Inventory' }).click();
      await page.getByRole('button', { name: 'Start', exact: true }).click();
      const epc = EMULATED_EPCS[1];
      await page.getByRole('link', { name: epc }).waitFor(WAIT);
      await page.getByRole('button', { name: 'Stop' }).click();
      await page.getByText(/^Stopped on /).waitFor(WAIT);
      await page.getByRole('link', { name: epc }).click();
      await page.locator('#tag-epc', { hasText: epc }).waitFor(WAIT);
      await page.locator('#bank-epc', { hasText: epc.slice(0, 4) }).waitFor(WAIT);
      await page.getByLabel('User memory from word').fill('2');
      await page.getByLabel('Data (hex, whole words)').fill('CAFE 1234 BEEF');
      await page.getByRole('button', { name: 'Write user memory' }).click();
      await page.getByText('Wrote 3 words of user memory from word 2.').waitFor(WAIT);
      await page.locator('#bank-user', { hasText: 'CAFE 1234 BEEF' }).waitFor(WAIT);
      // Read back from the reader on a fresh page, not from what the form kept.
      await page.reload();
      await page.locator('#bank-user', { hasText: /^\w{4} \w{4} CAFE 1234 BEEF \w{4}/ }).waitFor(WAIT);
      await shot(page, 'tag-desktop');
      assert.deepEqual(problems, [], 'no console errors, failed loads or other hosts');
    });
  },

  async lock(browser) {
    await onConsole(browser, ['--emulate'], ['desktop'], async ({ page, base, problems }) => {
      const locks = [];
      const kills = [];
      page.on('request', (r) => {
        if (r.url().endsWith('/lock')) locks.push(JSON.parse(r.postData()));
        if (r.url().endsWith('/kill')) kills.push(JSON.parse(r.postData()));
      });
      const id = await page.locator('#reader-rows td').first().textContent();
      const epc = EMULATED_EPCS[2];
      await page.goto(`${base}#tag/${id}/${epc}`);
      await page.locator('#bank-user', { hasText: /^[0-9A-F]{4} / }).waitFor(WAIT);
      await page.getByLabel('Lock', { exact: true }).selectOption('user');
      await page.getByLabel('Action', { exact: true }).selectOption('permalock');
      // Not typed again: nothing is sent.
      await page.getByRole('button', { name: 'Apply' }).click();
      await page.getByText('permalock cannot be undone').waitFor(WAIT);
      await page.getByLabel('To confirm a permanent action, type it again').fill('lock');
      await page.getByRole('button', { name: 'Apply' }).click();
      await page.getByText('permalock cannot be undone').waitFor(WAIT);
      assert.deepEqual(locks, [], 'no lock request without the action typed again');
      await page.getByLabel('To confirm a permanent action, type it again').fill('permalock');
      await page.getByRole('button', { name: 'Apply' }).click();
      await page.getByText('user memory: permalock done.').waitFor(WAIT);
      assert.deepEqual(locks, [{ field: 'user', action: 'permalock', confirm: true }]);
      // Locked for good: a write is refused, in the reader's words.
      await page.getByLabel('Data (hex, whole words)').fill('ABCD');
      await page.getByRole('button', { name: 'Write user memory' }).click();
      await page.locator('#tag-outcome', { hasText: /^Failed: / }).waitFor(WAIT);
      // Kill, likewise: not without the word.
      await page.getByLabel('Kill password (hex)').fill('12345678');
      await page.getByLabel('Type kill to confirm: the tag never answers again').fill('yes');
      await page.getByRole('button', { name: 'Kill the tag' }).click();
      await page.getByText('Killing cannot be undone').waitFor(WAIT);
      assert.deepEqual(kills, [], 'no kill request without the word typed');
      await shot(page, 'lock-desktop');
      assert.deepEqual(unexpected(problems, /\/tags\/[0-9A-F]+\/user\)?$/), [],
        'no console errors, failed loads or other hosts but the refused write');
    });
  },

  async commission(browser) {
    await onConsole(browser, ['--emulate-feed', '3'], ['desktop'], async ({ page, base, problems }) => {
      await startCommissioning(page, '1000', 3, '3');
      await page.locator('#job-done', { hasText: '3 of 3' }).waitFor(WAIT);
      assert.equal(await page.locator('#job-progress').evaluate((p) => p.value / p.max), 1);
      const written = page.locator('#job-rows tr', { hasText: 'written' });
      await written.nth(2).waitFor(WAIT);
      for (const serial of ['1000', '1001', '1002'])
        assert.equal(await written.filter({ hasText: serial }).count(), 1, `serial ${serial} logged once`);
      assert.equal(await written.count(), 3);
      await shot(page, 'commission-desktop');
      assert.deepEqual(problems, [], 'no console errors, failed loads or other hosts');
    });
  },

  // Two tags, then none: the job waits at 2 of 3 and is stopped; the server
  // comes back with one more tag and Resume finishes the job on its journal.
  async resume(browser) {
    const reader = ['--emulate-tags', '0', '--emulate-state', join(scratch, 'resume-reader.json')];
    let first = await startServer([...reader, '--emulate-feed', '2']);
    const problems = [];
    const { context, page } = await openPage(browser, first.base, 'desktop', problems);
    let second = null;
    try {
      await logIn(page, first.base, first.token);
      await startCommissioning(page, '2000', 3);
      await page.locator('#job-done', { hasText: '2 of 3' }).waitFor(WAIT);
      await page.getByRole('button', { name: 'Stop', exact: true }).click();
      await page.locator('#job-state', { hasText: 'stopped' }).waitFor(WAIT);
      const resume = page.getByRole('button', { name: 'Resume', exact: true });
      assert.equal(await resume.isEnabled(), true, 'a stopped job can be resumed');
      await stopServer(first.server);
      await page.locator('#connection', { hasText: 'reconnecting' }).waitFor(WAIT);
      second = await startServer([...reader, '--emulate-feed', '1'], first);
      first = null;
      await page.waitForFunction(() => document.getElementById('connection').textContent
        .match(/^Connected: [^;]*$/), null, WAIT);
      await resume.click();
      await page.locator('#job-done', { hasText: '3 of 3' }).waitFor(WAIT);
      await page.locator('#job-state', { hasText: 'finished' }).waitFor(WAIT);
      // Each serial written once, by the first run or by the resumed one.
      const serials = await page.locator('#job-rows tr', { hasText: 'written' })
        .locator('td:nth-child(3)').allInnerTexts();
      assert.deepEqual(serials.sort(), ['2000', '2001', '2002']);
      await shot(page, 'commission-resumed-desktop');
      // The stream's break while the server was away is the one failure allowed.
      assert.deepEqual(unexpected(problems, /ERR_CONNECTION_REFUSED|\/api\/v1\/events\)?$/), [],
        'no console errors, failed loads or other hosts');
    } finally {
      await context.close();
      if (first) await stopServer(first.server);
      if (second) await stopServer(second.server);
    }
  },
};

const chosen = process.argv.slice(2).length ? process.argv.slice(2) : Object.keys(tests);
const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-background-networking', '--disable-component-update',
    '--disable-sync', '--no-first-run', '--disable-gpu', '--disable-quic'],
});
const failed = [];
try {
  for (const name of chosen) {
    try {
      await tests[name](browser);
      console.log(`ok: ${name}`);
    } catch (error) {
      failed.push(name);
      console.log(`FAILED: ${name}: ${error.stack ?? error}`);
    }
  }
} finally {
  await browser.close();
  rmSync(scratch, { recursive: true, force: true });
}
console.log(`${chosen.length - failed.length} of ${chosen.length} passed; screenshots in ${artifacts}`);
process.exit(failed.length ? 1 : 0);
