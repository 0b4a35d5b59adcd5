// Small helpers the views share: making elements, saying how a call went,
// and formatting times.

/** $('id'): the element with that id. */
export const $ = (id) => document.getElementById(id);

/**
 * A new element: tag, its properties (className, textContent, ...) and its
 * children (elements or text).
 */
export function el(tag, properties = {}, ...children) {
  const element = Object.assign(document.createElement(tag), properties);
  element.append(...children);
  return element;
}

/** A table cell holding text; monospace when code is true. */
export function cell(text, code = false) {
  return el('td', { textContent: text ?? '', className: code ? 'code' : '' });
}

/** Says in the status element how something went: words, or an error. */
export function say(element, what) {
  const failed = what instanceof Error;
  element.textContent = failed ? `Failed: ${what.message}` : what;
  element.classList.toggle('bad', failed);
}

/** What attempt() gives back when its action failed. */
export const FAILED = Symbol('failed');

/**
 * Runs action(), saying its error in the status element; a button stays off
 * meanwhile.  Resolves to the action's value, or FAILED.
 */
export async function attempt(status, action, button) {
  if (button) button.disabled = true;
  try {
    return await action();
  } catch (error) {
    say(status, error);
    return FAILED;
  } finally {
    if (button) button.disabled = false;
  }
}

/** A time ("2026-12-10T00:47:05.594Z", or a Date) as the local hh:mm:ss. */
export function clockTime(time) {
  const date = time instanceof Date ? time : new Date(time);
  return Number.isNaN(date.getTime()) ? '' : date.toLocaleTimeString([], { hour12: false });
}

/** Hex in groups of four digits (one word each), for reading memory. */
export const words = (hex) => (hex.match(/.{1,4}/g) ?? []).join(' ');

/** Hex as typed (spaces allowed) to the API's form: digits only, upper case. */
export const plainHex = (text) => text.replace(/\s+/g, '').toUpperCase();
