// The one event stream the console keeps open (GET /api/v1/events): views
// subscribe to event names and get each event's JSON document.  The browser
// reconnects by itself with Last-Event-ID, so nothing is missed across a
// short break; an overflow event says how many were.

// Every name the stream carries that a view may want: the core's event
// model (a watch's reads, rounds, arrivals and departures, its reader lost
// and back; readers plugged in and pulled out; commissioning's log and end)
// and the stream's own overflow.
const NAMES = ['read', 'round', 'arrive', 'depart', 'round-failed', 'reader-lost',
  'reader-back', 'plugged', 'lost', 'tag', 'interrupted', 'resuming', 'left', 'void',
  'several', 'unneeded', 'end', 'overflow'];

const listeners = new Map(); // name -> Set of functions
let source = null;
let onState = () => {};

function deliver(name, message) {
  let document;
  try {
    document = JSON.parse(message.data);
  } catch {
    return; // not JSON: nothing a view could use
  }
  for (const listener of listeners.get(name) ?? []) listener(document, name);
  for (const listener of listeners.get('*') ?? []) listener(document, name);
}

/** Opens the stream once; state(text) hears whether it is connected. */
export function openEvents(state) {
  if (source) return;
  onState = state ?? onState;
  source = new EventSource('/api/v1/events');
  source.addEventListener('open', () => onState('live'));
  source.addEventListener('error', () => onState(source.readyState === EventSource.CLOSED
    ? 'closed' : 'reconnecting'));
  for (const name of NAMES) source.addEventListener(name, (message) => deliver(name, message));
}

/**
 * Calls listener(document, name) for every event of these names ('*': all);
 * returns the function that stops it.
 */
export function onEvents(names, listener) {
  for (const name of names) {
    if (!listeners.has(name)) listeners.set(name, new Set());
    listeners.get(name).add(listener);
  }
  return () => { for (const name of names) listeners.get(name)?.delete(listener); };
}
