// The readers the server knows, shared by the views: fetched once, fetched
// again when the event stream says a reader came or went, and offered in
// every reader choice (select.reader-choice).
import { api } from './api.js';
import { onEvents } from './events.js';

let readers = [];
let chosen = '';
const watchers = new Set();

/** The readers last fetched (the API's Reader documents). */
export const knownReaders = () => readers;

/** The reader the views act on ('' while there is none). */
export const chosenReader = () => chosen;

/** Makes id the reader the views act on. */
export function chooseReader(id) {
  chosen = id;
  fillChoices();
}

function fillChoices() {
  for (const select of document.querySelectorAll('select.reader-choice')) {
    const options = readers.map((r) => {
      const option = document.createElement('option');
      option.value = r.id;
      option.textContent = r.state === 'lost' ? `${r.id} (lost)` : r.id;
      return option;
    });
    select.replaceChildren(...options);
    select.value = chosen;
  }
}

/** Fetches the readers again and tells every watcher. */
export async function refreshReaders() {
  const answer = await api.readers();
  readers = answer.readers ?? [];
  const present = readers.filter((r) => r.state !== 'lost');
  if (!readers.some((r) => r.id === chosen)) chosen = present[0]?.id ?? readers[0]?.id ?? '';
  fillChoices();
  for (const watcher of watchers) watcher(readers);
}

/** Calls watcher(readers) after every fetch. */
export function watchReaders(watcher) {
  watchers.add(watcher);
}

// Choices follow each other: a reader chosen in one view is chosen in all.
document.addEventListener('change', (event) => {
  if (event.target.matches?.('select.reader-choice')) chooseReader(event.target.value);
});

// A reader plugged in or pulled out, a watch's reader lost or back, a job
// ended: the readers' states have changed, so fetch them again.
onEvents(['plugged', 'lost', 'reader-lost', 'reader-back', 'end'], () => {
  refreshReaders().catch(() => {});
});
