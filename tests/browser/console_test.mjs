// The web console in Debian's Chromium (headless, driven by playwright-core):
// it logs in with the token of the address velkor serve printed, drops the
// token from the address bar, keeps it in an HttpOnly cookie, logs in again
// from its form by keyboard, and shows no console error.  A screenshot of
// each page is left in ARTIFACTS.
//   VELKOR_TOOL=... CHROMIUM=/usr/bin/chromium ARTIFACTS=dir node console_test.mjs
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync, mkdirSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { createInterface } from 'node:readline';
import { chromium } from 'playwright-core';

const tool = process.env.VELKOR_TOOL;
const artifacts = process.env.ARTIFACTS;
mkdirSync(artifacts, { recursive: true });

// Starts velkor serve on a free port; resolves to it and the address it printed.
function startServer() {
  const server = spawn(tool, ['serve', '--listen', '127.0.0.1:0'],
    { stdio: ['ignore', 'pipe', 'inherit'] });
  return new Promise((resolve, reject) => {
    const lines = createInterface({ input: server.stdout });
    lines.once('line', (line) => {
      const match = line.match(/(http:\/\/127\.0\.0\.1:\d+\/)\?token=(\w+)/);
      if (match) resolve({ server, base: match[1], token: match[2] });
      else reject(new Error(`no address in: ${line}`));
    });
    server.once('exit', (code) => reject(new Error(`velkor serve ended (${code})`)));
  });
}

const { server, base, token } = await startServer();
const profile = mkdtempSync(join(tmpdir(), 'velkor-chromium-'));
const context = await chromium.launchPersistentContext(profile, {
  executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-background-networking', '--disable-component-update',
    '--disable-sync', '--no-first-run', '--disable-gpu', '--disable-quic'],
});
const problems = [];
try {
  const page = context.pages()[0] ?? await context.newPage();
  page.on('console', (m) => { if (m.type() === 'error') problems.push(`console: ${m.text()}`); });
  page.on('pageerror', (e) => problems.push(`page: ${e.message}`));
  page.on('response', (r) => { if (r.status() >= 400) problems.push(`${r.status()} ${r.url()}`); });
  page.on('request', (r) => {
    if (!r.url().startsWith(base)) problems.push(`a request to another host: ${r.url()}`);
  });

  // The printed address: in, with the token traded for a cookie.
  await page.goto(`${base}?token=${token}`);
  await page.getByText('Connected: velkor serve').waitFor({ timeout: 15000 });
  assert.equal(page.url(), base, 'the token left the address bar');
  const [cookie] = await context.cookies(base);
  assert.equal(cookie.value, token);
  assert.equal(cookie.httpOnly, true);
  assert.equal(cookie.sameSite, 'Strict');
  assert.ok(await page.locator('#endpoints tr').count() >= 17, 'every endpoint is listed');
  await page.screenshot({ path: join(artifacts, 'console.png'), fullPage: true });
  assert.deepEqual(problems, [], 'no console errors, failed loads or other hosts');

  // Without the cookie: the form, by its label and the keyboard.
  await context.clearCookies();
  await page.goto(base);
  const field = page.getByLabel('Token');
  await field.waitFor({ timeout: 15000 });
  await page.screenshot({ path: join(artifacts, 'console-login.png') });
  // The 401 that told the page it is logged out was expected; nothing else is.
  problems.length = 0;
  await field.fill(token);
  await field.press('Enter');
  await page.getByText('Connected: velkor serve').waitFor({ timeout: 15000 });
  assert.equal(page.url(), base);
  assert.deepEqual(problems, [], 'no console errors, failed loads or other hosts');
  console.log(`console test passed; screenshots in ${artifacts}`);
} finally {
  await context.close();
  server.kill('SIGTERM');
  rmSync(profile, { recursive: true, force: true });
}
