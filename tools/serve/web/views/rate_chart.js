// The reads-per-second chart: a bar a second for the last minute, drawn on
// a canvas by hand.
const SECONDS = 60;

export class RateChart {
  constructor(canvas) {
    this.canvas = canvas;
    this.counts = new Array(SECONDS).fill(0); // oldest first; the last is this second
    this.second = Math.floor(Date.now() / 1000);
  }

  // Moves the window on to now, dropping the seconds that left it.
  advance() {
    const now = Math.floor(Date.now() / 1000);
    const gone = Math.min(SECONDS, now - this.second);
    if (gone > 0) {
      this.counts.splice(0, gone);
      this.counts.push(...new Array(gone).fill(0));
      this.second = now;
    }
  }

  /** Counts one read now. */
  add() {
    this.advance();
    this.counts[SECONDS - 1] += 1;
  }

  /** Reads in the last whole second. */
  rate() {
    this.advance();
    return this.counts[SECONDS - 2];
  }

  clear() {
    this.counts.fill(0);
  }

  /** Draws the bars, scaled to the busiest second, with that second's count. */
  draw() {
    this.advance();
    const { canvas } = this;
    const scale = window.devicePixelRatio || 1;
    const width = canvas.clientWidth || canvas.width;
    const height = canvas.clientHeight || canvas.height;
    if (canvas.width !== Math.round(width * scale)) canvas.width = Math.round(width * scale);
    if (canvas.height !== Math.round(height * scale)) canvas.height = Math.round(height * scale);
    const g = canvas.getContext('2d');
    g.setTransform(scale, 0, 0, scale, 0, 0);
    const style = getComputedStyle(canvas);
    g.clearRect(0, 0, width, height);
    const top = Math.max(1, ...this.counts);
    const bar = width / SECONDS;
    g.fillStyle = style.getPropertyValue('--accent') || '#1d4f91';
    this.counts.forEach((count, i) => {
      const h = (count / top) * (height - 16);
      g.fillRect(i * bar + 1, height - h, Math.max(1, bar - 2), h);
    });
    g.fillStyle = style.color;
    g.font = '12px ui-monospace, monospace';
    g.fillText(`peak ${Math.max(...this.counts)}/s`, 4, 12);
    g.strokeStyle = style.getPropertyValue('--line') || '#d0d7de';
    g.beginPath();
    g.moveTo(0, height - 0.5);
    g.lineTo(width, height - 0.5);
    g.stroke();
  }
}
