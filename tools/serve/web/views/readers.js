// The readers view: every reader, plugged or lost, live from the event
// stream; one reader's information and a form for its settings.
import { api } from '../api.js';
import { $, FAILED, attempt, cell, el, say } from '../dom.js';
import { chooseReader, chosenReader, refreshReaders, watchReaders } from '../readers_store.js';

const SETTINGS = ['power_dbm', 'region', 'lowest_channel', 'highest_channel', 'scan_time_ms'];
let shown = null; // the settings the form was filled with

function row(reader) {
  const open = el('button', { type: 'button', className: 'quiet', textContent: 'Open' });
  open.setAttribute('aria-label', `Open reader ${reader.id}`);
  open.addEventListener('click', () => { chooseReader(reader.id); showDetail(reader.id); });
  const tr = el('tr', {}, cell(reader.id, true),
    el('td', {}, el('span', { className: `state ${reader.state}`, textContent: reader.state })),
    cell(reader.information?.firmware, true),
    cell(reader.settings?.power_dbm !== undefined ? `${reader.settings.power_dbm} dBm` : '', true),
    cell(reader.settings?.region, true), el('td', {}, open));
  if (reader.id === chosenReader()) tr.classList.add('chosen');
  return tr;
}

function listReaders(readers) {
  $('reader-rows').replaceChildren(...readers.map(row));
  $('no-readers').hidden = readers.length > 0;
  if (!$('reader-detail').hidden && !readers.some((r) => r.id === $('detail-id').textContent))
    $('reader-detail').hidden = true;
}

function fillForm(settings) {
  shown = settings;
  for (const name of SETTINGS) $('settings-form').elements[name].value = settings[name] ?? '';
  $('set-beep').checked = Boolean(settings.beep);
  $('set-clock').value = settings.clock ?? '';
}

// Fills the detail from the reader; a status already said stays when keep.
async function showDetail(id, keep = false) {
  const status = $('settings-outcome');
  const reader = await attempt(status, () => api.reader(id));
  if (reader === FAILED) return;
  $('detail-id').textContent = reader.id;
  const facts = { State: reader.state, ...Object.fromEntries(Object.entries(reader.information ?? {})
    .map(([k, v]) => [k.replaceAll('_', ' '), String(v)])) };
  $('reader-info').replaceChildren(...Object.entries(facts).flatMap(([k, v]) =>
    [el('dt', { textContent: k }), el('dd', { textContent: v, className: 'code' })]));
  fillForm(reader.settings ?? {});
  if (!keep) say(status, '');
  $('reader-detail').hidden = false;
}

// Only what the operator changed is sent: the rest stays as the reader has it.
function changes() {
  const form = $('settings-form').elements;
  const change = {};
  for (const name of SETTINGS) {
    const text = form[name].value.trim();
    if (text !== '' && Number(text) !== shown?.[name]) change[name] = Number(text);
  }
  if ($('set-beep').checked !== Boolean(shown?.beep)) change.beep = $('set-beep').checked;
  const clock = $('set-clock').value.trim();
  if (clock !== '' && clock !== shown?.clock) change.clock = clock;
  return change;
}

export function initReaders() {
  watchReaders(listReaders);
  $('set-clock-now').addEventListener('click', () => { $('set-clock').value = 'now'; });
  $('settings-form').addEventListener('submit', async (event) => {
    event.preventDefault();
    const status = $('settings-outcome');
    const change = changes();
    if (Object.keys(change).length === 0) {
      say(status, 'Nothing changed.');
      return;
    }
    const id = $('detail-id').textContent;
    const done = await attempt(status, () => api.changeSettings(id, change),
      event.submitter);
    // Refused or not, the form shows what the reader has now.
    await showDetail(id, done === FAILED);
    if (done === FAILED) return;
    say(status, `Saved: ${Object.keys(change).join(', ').replaceAll('_', ' ')}.`);
    refreshReaders().catch(() => {});
  });
}

/** Shows the view: the list, and the chosen reader's details. */
export async function showReaders() {
  await attempt($('settings-outcome'), refreshReaders);
  if (chosenReader()) await showDetail(chosenReader());
}
