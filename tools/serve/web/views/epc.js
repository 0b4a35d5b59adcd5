// The EPC box: an EPC in hex decoded to every field, or a URI or a GTIN with
// its serial encoded to one.
import { api } from '../api.js';
import { $, FAILED, attempt, el, plainHex, say } from '../dom.js';

function showFields(fields) {
  $('epc-fields').replaceChildren(...Object.entries(fields).flatMap(([name, value]) => [
    el('dt', { textContent: name.replaceAll('_', ' ') }),
    el('dd', { className: 'code', textContent: value === null ? '—' : String(value) }),
  ]));
}

async function run(status, action, button) {
  $('epc-fields').replaceChildren();
  const fields = await attempt(status, action, button);
  if (fields === FAILED) return;
  say(status, `${fields.scheme}: ${fields.tag_uri}`);
  showFields(fields);
}

function encoding() {
  const uri = $('encode-uri').value.trim();
  const r = {};
  if (uri) r.uri = uri;
  else {
    r.gtin = $('encode-gtin').value.trim();
    r.prefix_length = Number($('encode-prefix').value);
    if ($('encode-serial').value.trim()) r.serial = $('encode-serial').value.trim();
  }
  if ($('encode-filter').value !== '') r.filter = Number($('encode-filter').value);
  return r;
}

export function initEpc() {
  $('decode-form').addEventListener('submit', (event) => {
    event.preventDefault();
    run($('epc-outcome'), () => api.decodeEpc(plainHex($('decode-hex').value)), event.submitter);
  });
  $('encode-form').addEventListener('submit', (event) => {
    event.preventDefault();
    run($('epc-outcome'), () => api.encodeEpc(encoding()), event.submitter);
  });
}

/** Decodes hex in the box, as a tag's page link does. */
export function showEpc(hex) {
  if (!hex) return;
  $('decode-hex').value = hex;
  $('decode-form').requestSubmit();
}
