namespace Velkor
{
    /// <summary>Several tags answered an operation that changes one tag, and
    /// none was named: nothing was changed.  Count says how many answered;
    /// name the tag by its EPC or a Mask.</summary>
    public sealed class SeveralTagsException : VelkorException
    {
        /// <summary>How many tags answered.</summary>
        public int Count { get; private set; }

        /// <summary>The refusal the core reported.</summary>
        /// <param name="count">how many tags answered.</param>
        /// <param name="operation">the operation refused ("write").</param>
        /// <param name="words">the core's sentence.</param>
        public SeveralTagsException(int count, string operation, string words)
            : base(Statuses.Ok, operation, operation + ": " + words)
        {
            Count = count;
        }
    }

    /// <summary>A failure of the application core that is no reader status:
    /// Kind 6 a file could not be written, 7 held by another program, 8 the
    /// job was stopped, 9 no such reader, 10 a tag contradicts the
    /// journal.</summary>
    public sealed class CoreException : VelkorException
    {
        /// <summary>The core's kind of failure.</summary>
        public int Kind { get; private set; }

        /// <summary>What a commissioning run had done when it ended (null
        /// for other failures, and for a run that never started).</summary>
        public Commissioned Summary { get; internal set; }

        /// <summary>The failure the core reported.</summary>
        /// <param name="kind">the core's kind.</param>
        /// <param name="operation">what failed.</param>
        /// <param name="words">the core's sentence.</param>
        public CoreException(int kind, string operation, string words)
            : base(Statuses.Ok, operation, operation + ": " + words)
        {
            Kind = kind;
        }
    }
}
