// A tag's page (#tag/READER/EPC): its memory banks in hex, writing its EPC
// and user memory, locking (a permanent action typed again to confirm it)
// and killing (the word kill typed to confirm it).
import { api } from '../api.js';
import { $, FAILED, attempt, el, plainHex, say, words } from '../dom.js';

let reader = '';
let epc = '';
const banks = new Map(); // bank -> { address, count, data } inputs and cell

// Where each bank is read from at first, in words: the EPC bank holds the
// CRC and PC in front of the EPC.
function defaultSpan(bank) {
  switch (bank) {
    case 'reserved': return [0, 4];
    case 'epc': return [0, 2 + epc.length / 4];
    case 'tid': return [0, 6];
    default: return [0, 8];
  }
}

const password = () => plainHex($('tag-password').value) || undefined;

async function readBank(bank) {
  const { address, count, data, button } = banks.get(bank);
  data.textContent = 'reading…';
  data.classList.remove('bad');
  const answer = await attempt(data, () => api.readMemory(reader, epc, bank,
    Number(address.value), Number(count.value), password()), button);
  if (answer !== FAILED) data.textContent = words(answer.data);
}

function bankRow(bank) {
  const [from, count] = defaultSpan(bank);
  const inputs = {
    address: el('input', { type: 'number', min: 0, value: from, className: 'narrow', inputMode: 'numeric' }),
    count: el('input', { type: 'number', min: 1, max: 64, value: count, className: 'narrow', inputMode: 'numeric' }),
    data: el('td', { className: 'code hex' }),
    button: el('button', { type: 'button', className: 'quiet', textContent: 'Read' }),
  };
  inputs.address.setAttribute('aria-label', `${bank} memory: from word`);
  inputs.count.setAttribute('aria-label', `${bank} memory: words`);
  inputs.data.id = `bank-${bank}`;
  inputs.button.setAttribute('aria-label', `Read ${bank} memory`);
  inputs.button.addEventListener('click', () => readBank(bank));
  banks.set(bank, inputs);
  return el('tr', {}, el('th', { scope: 'row', textContent: bank }), el('td', {}, inputs.address),
    el('td', {}, inputs.count), inputs.data, el('td', {}, inputs.button));
}

async function writeEpc(event) {
  event.preventDefault();
  const status = $('tag-outcome');
  const next = plainHex($('new-epc').value);
  if (next.length !== epc.length) {
    say(status, `The new EPC must have the length of the old one (${epc.length / 2} bytes).`);
    return;
  }
  const answer = await attempt(status, () => api.writeMemory(reader, epc, 'epc',
    { address: 2, data: next, ...(password() && { password: password() }) }), event.submitter);
  if (answer === FAILED) return;
  say(status, `EPC written: the tag is now ${answer?.epc ?? next}.`);
  location.hash = `#tag/${encodeURIComponent(reader)}/${answer?.epc ?? next}`;
}

async function writeUser(event) {
  event.preventDefault();
  const status = $('tag-outcome');
  const address = Number($('user-address').value);
  const data = plainHex($('user-data').value);
  const answer = await attempt(status, () => api.writeMemory(reader, epc, 'user',
    { address, data, ...(password() && { password: password() }) }), event.submitter);
  if (answer === FAILED) return;
  say(status, `Wrote ${data.length / 4} words of user memory from word ${address}.`);
  const user = banks.get('user');
  user.address.value = address;
  user.count.value = data.length / 4;
  await readBank('user');
}

async function lock(event) {
  event.preventDefault();
  const status = $('tag-outcome');
  const field = $('lock-field').value;
  const action = $('lock-action').value;
  const permanent = action.startsWith('perma');
  if (permanent && $('lock-confirm').value.trim() !== action) {
    say(status, `${action} cannot be undone: type ${action} in the confirmation field to do it.`);
    $('lock-confirm').focus();
    return;
  }
  const request = { field, action, ...(password() && { password: password() }),
    ...(permanent && { confirm: true }) };
  const answer = await attempt(status, () => api.lock(reader, epc, request), event.submitter);
  if (answer === FAILED) return;
  $('lock-confirm').value = '';
  say(status, `${field} memory: ${action} done.`);
}

async function kill(event) {
  event.preventDefault();
  const status = $('tag-outcome');
  if ($('kill-confirm').value.trim() !== 'kill') {
    say(status, 'Killing cannot be undone: type kill in the confirmation field to do it.');
    $('kill-confirm').focus();
    return;
  }
  const request = { password: plainHex($('kill-password').value), confirm: true };
  const answer = await attempt(status, () => api.kill(reader, epc, request), event.submitter);
  if (answer === FAILED) return;
  $('kill-confirm').value = '';
  say(status, `Tag ${epc} is killed: it never answers again.`);
}

export function initTag() {
  $('epc-write-form').addEventListener('submit', writeEpc);
  $('user-write-form').addEventListener('submit', writeUser);
  $('lock-form').addEventListener('submit', lock);
  $('kill-form').addEventListener('submit', kill);
  $('password-form').addEventListener('submit', (event) => event.preventDefault());
}

/** Shows the page of tag epcHex on reader id, and reads its banks. */
export async function showTag(id, epcHex) {
  reader = id;
  epc = plainHex(epcHex);
  $('tag-epc').textContent = epc;
  $('tag-reader').textContent = reader;
  $('new-epc').value = epc;
  say($('tag-outcome'), '');
  banks.clear();
  $('bank-rows').replaceChildren(...['reserved', 'epc', 'tid', 'user'].map(bankRow));
  // One after another: the reader runs one exchange at a time anyway.
  for (const bank of banks.keys()) await readBank(bank);
}
