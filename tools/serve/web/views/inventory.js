// The live inventory: a watch on the chosen reader, its reads from the event
// stream in one table updated in place (EPC, GS1 URI, TID, antenna, reads,
// first and last seen, present or departed), a reads-per-second chart, a
// mask, start and stop, and the table as CSV.
import { api } from '../api.js';
import { $, FAILED, attempt, cell, clockTime, el, plainHex, say } from '../dom.js';
import { onEvents } from '../events.js';
import { chosenReader, knownReaders, refreshReaders, watchReaders } from '../readers_store.js';
import { RateChart } from './rate_chart.js';

const tags = new Map(); // EPC -> { fields..., cells }
let chart = null;
let watching = ''; // the reader this page's watch runs on ('' when none)

// An event of another reader than the one watched is not this table's.
const ours = (document) => !document.reader || document.reader === (watching || chosenReader());

function tagLink(epc) {
  const reader = watching || chosenReader();
  return el('a', { href: `#tag/${encodeURIComponent(reader)}/${epc}`, textContent: epc });
}

function addRow(epc) {
  const cells = {
    epc: el('td', { className: 'code' }, tagLink(epc)),
    uri: cell('', true), tid: cell('', true), antenna: cell('', true), reads: cell('0', true),
    first: cell('', true), last: cell('', true), present: cell(''),
  };
  const row = el('tr', {}, ...Object.values(cells));
  $('tag-rows').append(row);
  const tag = { epc, uri: '', tid: '', antenna: '', reads: 0, first: '', last: '', present: true,
    cells, row };
  tags.set(epc, tag);
  $('tag-count').textContent = String(tags.size);
  return tag;
}

function render(tag) {
  const c = tag.cells;
  c.uri.textContent = tag.uri;
  c.tid.textContent = tag.tid;
  c.antenna.textContent = String(tag.antenna);
  c.reads.textContent = String(tag.reads);
  c.first.textContent = clockTime(tag.first);
  c.last.textContent = clockTime(tag.last);
  c.present.textContent = tag.present ? 'present' : 'departed';
  tag.row.classList.toggle('departed', !tag.present);
}

function onRead(read) {
  if (!ours(read) || !read.epc) return;
  const tag = tags.get(read.epc) ?? addRow(read.epc);
  tag.reads += 1;
  tag.antenna = read.antenna ?? tag.antenna;
  if (read.tid) tag.tid = read.tid;
  if (read.uri) tag.uri = read.uri;
  if (!tag.first) tag.first = read.time;
  tag.last = read.time;
  tag.present = true;
  chart.add();
  render(tag);
}

function onPresence(change, name) {
  if (!ours(change) || !change.epc) return;
  const tag = tags.get(change.epc) ?? addRow(change.epc);
  tag.present = name === 'arrive';
  if (change.antenna !== undefined) tag.antenna = change.antenna;
  if (tag.present && !tag.first) tag.first = change.time;
  render(tag);
}

function setWatching(id) {
  watching = id;
  $('watch-start').disabled = Boolean(id);
  $('watch-stop').disabled = !id;
  $('watch-reader').disabled = Boolean(id);
}

function csv() {
  const quote = (v) => (/[",\n]/.test(String(v)) ? `"${String(v).replaceAll('"', '""')}"` : String(v));
  const lines = [['epc', 'uri', 'tid', 'antenna', 'reads', 'first_seen', 'last_seen', 'present']];
  for (const t of tags.values())
    lines.push([t.epc, t.uri, t.tid, t.antenna, t.reads, t.first, t.last, t.present ? 'present' : 'departed']);
  return `${lines.map((l) => l.map(quote).join(',')).join('\r\n')}\r\n`;
}

function download() {
  const link = el('a', {
    href: URL.createObjectURL(new Blob([csv()], { type: 'text/csv' })),
    download: `inventory-${new Date().toISOString().replaceAll(':', '-').slice(0, 19)}.csv`,
  });
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

export function initInventory() {
  chart = new RateChart($('rate-chart'));
  onEvents(['read'], onRead);
  onEvents(['arrive', 'depart'], onPresence);
  onEvents(['round-failed', 'reader-lost'], (event, name) => {
    if (!ours(event)) return;
    say($('watch-outcome'), name === 'reader-lost'
      ? `The reader was lost: ${event.error?.words ?? ''}; the watch waits for it.`
      : `Round ${event.round} failed: ${event.error?.words ?? ''}`);
  });
  onEvents(['overflow'], (event) => say($('watch-outcome'),
    `${event.dropped} events were missed while the page was away: counts may be short.`));
  onEvents(['reader-back'], (event) => {
    if (ours(event)) say($('watch-outcome'), `The reader is back after ${event.away_ms} ms.`);
  });
  // A watch started or stopped elsewhere (another page, a program) shows here.
  watchReaders((readers) => {
    const mine = readers.find((r) => r.id === (watching || chosenReader()));
    if (mine?.state === 'watching') setWatching(mine.id);
    else if (watching && mine && mine.state !== 'lost') setWatching('');
  });
  setInterval(() => {
    if ($('inventory').hidden) return;
    chart.draw();
    $('rate-now').textContent = String(chart.rate());
  }, 1000);

  $('watch-form').addEventListener('submit', async (event) => {
    event.preventDefault();
    const id = $('watch-reader').value || chosenReader();
    const status = $('watch-outcome');
    if (!id) { say(status, 'No reader to watch.'); return; }
    const options = { tid: $('watch-tid').checked, decode: $('watch-decode').checked };
    const mask = plainHex($('watch-mask').value);
    if (mask) options.mask = mask;
    const done = await attempt(status, () => api.startWatch(id, options), $('watch-start'));
    if (done === FAILED) return;
    setWatching(id);
    say(status, `Watching on ${id}${mask ? `, EPCs from ${mask}` : ''}.`);
  });
  $('watch-stop').addEventListener('click', async () => {
    const status = $('watch-outcome');
    const id = watching;
    const done = await attempt(status, () => api.stopWatch(id), $('watch-stop'));
    if (done === FAILED) return;
    setWatching('');
    say(status, `Stopped on ${id}.`);
  });
  $('watch-clear').addEventListener('click', () => {
    tags.clear();
    $('tag-rows').replaceChildren();
    $('tag-count').textContent = '0';
    chart.clear();
    chart.draw();
  });
  $('watch-csv').addEventListener('click', download);
}

/** Shows the view, with the watch's state as the server has it. */
export async function showInventory() {
  await refreshReaders().catch((error) => say($('watch-outcome'), error));
  if (!knownReaders().length) say($('watch-outcome'), 'No reader is attached.');
  chart.draw();
}
