// Every call the console makes to the server, with its errors turned into
// words a person can act on.

/** A call the server refused or could not answer; `message` is in words. */
export class ApiError extends Error {
  constructor(message, httpStatus, readerStatus) {
    super(message);
    this.name = 'ApiError';
    this.httpStatus = httpStatus; // 0 when the server could not be reached
    this.readerStatus = readerStatus; // the reader's status byte, or null
  }
}

/**
 * Calls the API: method and path ("/api/v1/..."), and a body sent as JSON.
 * Resolves to the parsed JSON answer; rejects with an ApiError.
 */
export async function call(method, path, body) {
  const options = { method, headers: {}, credentials: 'same-origin' };
  if (body !== undefined) {
    options.headers['Content-Type'] = 'application/json';
    options.body = JSON.stringify(body);
  }
  let response;
  try {
    response = await fetch(path, options);
  } catch {
    throw new ApiError('the server cannot be reached; is velkor serve still running?', 0, null);
  }
  const text = await response.text();
  let answer = null;
  try {
    answer = text ? JSON.parse(text) : null;
  } catch {
    answer = null;
  }
  if (response.ok) return answer;
  const words = answer && typeof answer.error === 'string'
    ? answer.error
    : `the server answered ${response.status} ${response.statusText}`;
  throw new ApiError(words, response.status, answer ? answer.status ?? null : null);
}

/** GET path. */
export const get = (path) => call('GET', path);

const enc = encodeURIComponent;
const reader = (id) => `/api/v1/readers/${enc(id)}`;
const tag = (id, epc) => `${reader(id)}/tags/${enc(epc)}`;

/** The reader routes, one function each, named after what they do. */
export const api = {
  readers: () => get('/api/v1/readers'),
  reader: (id) => get(reader(id)),
  changeSettings: (id, change) => call('PATCH', `${reader(id)}/settings`, change),
  inventory: (id, options) => call('POST', `${reader(id)}/inventory`, options),
  startWatch: (id, options) => call('POST', `${reader(id)}/watch`, options),
  stopWatch: (id) => call('DELETE', `${reader(id)}/watch`),
  readMemory: (id, epc, bank, address, words, password) => {
    const query = new URLSearchParams({ address, words });
    if (password) query.set('password', password);
    return get(`${tag(id, epc)}/${enc(bank)}?${query}`);
  },
  writeMemory: (id, epc, bank, write) => call('PUT', `${tag(id, epc)}/${enc(bank)}`, write),
  lock: (id, epc, request) => call('POST', `${tag(id, epc)}/lock`, request),
  kill: (id, epc, request) => call('POST', `${tag(id, epc)}/kill`, request),
  commission: (id, request) => call('POST', `${reader(id)}/commission`, request),
  job: (job) => get(`/api/v1/jobs/${enc(job)}`),
  stopJob: (job) => call('DELETE', `/api/v1/jobs/${enc(job)}`),
  resumeJob: (job) => call('POST', `/api/v1/jobs/${enc(job)}/resume`),
  decodeEpc: (hex) => get(`/api/v1/epc/${enc(hex)}`),
  encodeEpc: (request) => call('POST', '/api/v1/epc/encode', request),
};
