// A small console test runner: each test is a named method that throws when
// it fails; the run ends with "N passed, N failed" and exits non-zero on any
// failure.  `--describe` prints the binding's words for every status and tag
// error, for the test that compares them with the tool's and Python's;
// `--imports` prints every P/Invoke declaration of the binding, for the test
// that checks them against the C headers and the libraries' exports;
// `--one-truth` prints the document the one-truth test compares.
using System;
using System.Collections.Generic;
using System.Linq;
using System.Reflection;
using System.Runtime.InteropServices;

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
            if (args.Length == 1 && args[0] == "--one-truth")
            {
                Console.WriteLine(OneTruth.Document());
                return 0;
            }
            if (args.Length == 1 && args[0] == "--imports")
            {
                PrintImports();
                return 0;
            }
            int passed = 0, failed = 0;
            foreach (KeyValuePair<string, Action> test in ReaderTests.All().Concat(CoreTests.All()))
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

        // One line per declaration: library, entry point, calling convention,
        // result type, then each parameter's type ("out " before an output,
        // "struct " before a structure, "&" after a reference).
        private static void PrintImports()
        {
            foreach (Type type in typeof(Reader).Assembly.GetTypes())
                foreach (MethodInfo method in type.GetMethods(BindingFlags.Static | BindingFlags.Public |
                                                              BindingFlags.NonPublic | BindingFlags.DeclaredOnly))
                {
                    var import = (DllImportAttribute)Attribute.GetCustomAttribute(method, typeof(DllImportAttribute));
                    if (import == null) continue;
                    IEnumerable<string> parameters = method.GetParameters().Select(
                        p => (p.IsOut ? "out " : "") + TypeName(p.ParameterType));
                    Console.WriteLine(string.Join("\t", new[] {
                        import.Value, import.EntryPoint ?? method.Name, import.CallingConvention.ToString(),
                        TypeName(method.ReturnType), string.Join(",", parameters) }));
                }
        }

        private static string TypeName(Type type)
        {
            Type element = type.IsByRef ? type.GetElementType() : type;
            bool structure = element.IsValueType && !element.IsPrimitive && !element.IsEnum && element != typeof(IntPtr)
                             && element != typeof(UIntPtr);
            return (structure ? "struct " : "") + type.Name;
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
