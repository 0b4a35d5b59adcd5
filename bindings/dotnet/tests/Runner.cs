// A small console test runner: each test is a named method that throws when
// it fails; the run ends with "N passed, N failed" and exits non-zero on any
// failure.  `--describe` prints the binding's words for every status and tag
// error, for the test that compares them with the tool's and Python's.
using System;
using System.Collections.Generic;

namespace Velkor.Tests
{
    internal static class Runner
    {
        private static int Main(string[] args)
        {
            if (args.Length == 1 && args[0] == "--describe")
            {
                for (int status = 0; status < 256; ++status)
                    Console.WriteLine(VelkorException.Describe(status));
                for (int code = 0; code < 256; ++code)
                    Console.WriteLine(VelkorException.Describe(Statuses.TagError, code));
                return 0;
            }
            int passed = 0, failed = 0;
            foreach (KeyValuePair<string, Action> test in ReaderTests.All())
            {
                try
                {
                    test.Value();
                    ++passed;
                    Console.WriteLine("ok     " + test.Key);
                }
                catch (Exception error)
                {
                    ++failed;
                    Console.WriteLine("FAILED " + test.Key + ": " + error);
                }
            }
            Console.WriteLine(passed + " passed, " + failed + " failed");
            return failed == 0 ? 0 : 1;
        }
    }

    internal static class Assert
    {
        internal static void Equal<T>(T expected, T actual, string what)
        {
            if (!EqualityComparer<T>.Default.Equals(expected, actual))
                throw new Exception(what + ": expected " + expected + ", got " + actual);
        }

        internal static void True(bool condition, string what)
        {
            if (!condition) throw new Exception(what);
        }

        internal static E Throws<E>(Action action, string what) where E : Exception
        {
            try
            {
                action();
            }
            catch (E error)
            {
                return error;
            }
            throw new Exception(what + ": no " + typeof(E).Name);
        }
    }
}
