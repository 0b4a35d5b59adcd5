// Commissioning: GS1 identities (a GTIN and a serial range) written to tags
// placed on the reader one at a time, with the password and locks; a
// progress bar and the log, live from the event stream; stop, and resume
// from the job's journal on the server's disk where the server offers it.
import { api } from '../api.js';
import { $, FAILED, attempt, cell, clockTime, el, plainHex, say } from '../dom.js';
import { onEvents } from '../events.js';
import { chosenReader } from '../readers_store.js';

const ENTRY_EVENTS = ['tag', 'interrupted', 'resuming', 'left', 'void'];
const NOTE_EVENTS = ['several', 'unneeded', 'end'];
let job = null; // the last Job document
let reader = '';
let canResume = false; // the server resumes a stopped job
let starting = false; // a start is on its way: its first events may come before its answer

function request_from_form() {
  const form = $('commission-form').elements;
  const r = {
    gtin: $('job-gtin').value.trim(),
    prefix_length: Number($('job-prefix').value),
    serial_from: Number($('job-from').value),
    count: Number($('job-count').value),
  };
  if ($('job-filter').value !== '') r.filter = Number($('job-filter').value);
  const password = plainHex($('job-password').value);
  if (password) r.access_password = password;
  const lock = [...form.lock].filter((box) => box.checked).map((box) => box.value);
  if (lock.length) r.lock = lock;
  return r;
}

function showProgress(done, total, state) {
  $('job-progress').max = Math.max(1, total);
  $('job-progress').value = done;
  $('job-done').textContent = `${done} of ${total}`;
  if (state) $('job-state').textContent = state;
  const running = state === 'running';
  $('job-start').disabled = running;
  $('job-stop').disabled = !running;
  $('job-resume').disabled = running || !job || state === 'finished';
}

function showJob(j) {
  job = j;
  showProgress(j.done, j.total, j.state);
}

function logRow(entry, name) {
  const what = name === 'tag' ? 'written' : name;
  const row = el('tr', {}, cell(clockTime(entry.time ?? new Date()), true), cell(what),
    cell(entry.serial, true), cell(entry.epc, true), cell(entry.tid, true),
    cell(entry.result ?? entry.words ?? ''));
  if (entry.result && entry.result !== 'ok') row.classList.add('bad');
  $('job-rows').prepend(row);
}

async function refreshJob() {
  if (!job) return;
  const j = await attempt($('job-outcome'), () => api.job(job.id));
  if (j !== FAILED) showJob(j);
}

// This job's events: by its id once known, by its reader while it starts.
function ours(event) {
  if (event.job && job && !starting) return event.job === job.id;
  return Boolean(job || starting) && (!event.reader || event.reader === reader);
}

async function start(r) {
  const status = $('job-outcome');
  const id = $('job-reader').value || chosenReader();
  if (!id) { say(status, 'No reader to commission with.'); return; }
  reader = id;
  starting = true;
  const answer = await attempt(status, () => api.commission(id, r), $('job-start'));
  starting = false;
  if (answer === FAILED) { showProgress(job?.done ?? 0, job?.total ?? 0, job?.state); return; }
  showJob(answer);
  say(status, `Job ${answer.id}: place the tags on the reader one at a time.`);
  // Events that came before this answer may have moved the job on already.
  await refreshJob();
}

/**
 * Wires the view.  openapi: the server's description; Resume is offered
 * when it has POST /api/v1/jobs/{job}/resume (a new run with the same
 * request would start a fresh journal and give the serials again).
 */
export function initCommission(openapi) {
  canResume = Boolean(openapi?.paths?.['/api/v1/jobs/{job}/resume']?.post);
  $('job-resume').hidden = !canResume;
  $('commission-form').addEventListener('submit', (event) => {
    event.preventDefault();
    $('job-rows').replaceChildren();
    start(request_from_form());
  });
  $('job-resume').addEventListener('click', async () => {
    const status = $('job-outcome');
    const answer = await attempt(status, () => api.resumeJob(job.id), $('job-resume'));
    if (answer === FAILED) return;
    showJob(answer);
    say(status, `Job ${job.id} resumed: place the next tag on the reader.`);
  });
  $('job-stop').addEventListener('click', async () => {
    const status = $('job-outcome');
    const answer = await attempt(status, () => api.stopJob(job.id), $('job-stop'));
    if (answer === FAILED) return;
    if (answer?.id) showJob(answer); else await refreshJob();
    say(status, `Job ${job.id} stopped; Resume goes on where it stopped.`);
  });
  onEvents(ENTRY_EVENTS, (entry, name) => {
    if (!ours(entry)) return;
    logRow(entry, name);
    if (name === 'tag') showProgress(entry.done, entry.of, 'running');
  });
  onEvents(NOTE_EVENTS, (note, name) => {
    if (!ours(note)) return;
    if (name === 'several') say($('job-outcome'), `${note.tags} tags on the reader: leave one.`);
    if (name === 'unneeded') say($('job-outcome'), `Tag ${note.epc} is not needed: the run is complete.`);
    if (name === 'end') {
      say($('job-outcome'), `${note.done} of ${note.of} commissioned (${note.this_run} in this run): ${note.result}.`);
      showProgress(note.done, note.of, note.result === 'complete' ? 'finished' : note.result);
      refreshJob();
    }
  });
}

/** Shows the view, with the job's state as the server has it now. */
export async function showCommission() {
  await refreshJob();
}
