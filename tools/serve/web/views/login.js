// The login view: shown while the browser holds no token (or a stale one).

/** Shows the login form, with why it is needed, and focuses the token field. */
export function showLogin(reason) {
  document.getElementById('login').hidden = false;
  document.getElementById('connection').textContent = reason;
  document.getElementById('token').focus();
}
