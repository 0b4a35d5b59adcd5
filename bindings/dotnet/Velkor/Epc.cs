using System;
using System.Runtime.InteropServices;
using System.Text;

namespace Velkor
{
    /// <summary>The GS1 keys an EPC can be made from (EncodeGs1).</summary>
    public enum EpcKey { Gtin = 1, Sscc = 2, Gln = 3, Grai = 4, Giai = 5, Gsrn = 6, Gdti = 7 }

    /// <summary>Input the EPC codec refuses.  Status and Field are the C API's
    /// numbers; the message names the field ("serial: ... does not fit").</summary>
    public sealed class EpcException : ArgumentException
    {
        public int Status { get; private set; }
        public int Field { get; private set; }

        internal EpcException(string message, int status, int field) : base(message)
        {
            Status = status;
            Field = field;
        }
    }

    /// <summary>A decoded EPC, through the codec library libvelkor_epc: its
    /// scheme, fields and URIs; and the encoders from URIs and GS1 keys.</summary>
    public sealed class Epc
    {
        private const string Lib = "velkor_epc";
        private const int BytesMax = 32, UriMax = 128, Gs1Max = 64, NoGs1Form = 12;
        private const int BadCharacter = 7, FieldEpc = 1;  // velkor_epc_status, velkor_epc_field
        // The codec exports its functions with the C calling convention.
        private const CallingConvention Call = CallingConvention.Cdecl;

        [StructLayout(LayoutKind.Sequential)]
        private struct Error
        {
            public int Status;
            public int Field;
            [MarshalAs(UnmanagedType.ByValArray, SizeConst = 160)] public byte[] Message;
        }

        [StructLayout(LayoutKind.Sequential)]
        private struct Fields
        {
            public int Scheme;
            public uint Filter;
            public uint Partition;
            [MarshalAs(UnmanagedType.ByValArray, SizeConst = 16)] public byte[] CompanyPrefix;
            [MarshalAs(UnmanagedType.ByValArray, SizeConst = 16)] public byte[] Reference;
            [MarshalAs(UnmanagedType.ByValArray, SizeConst = 32)] public byte[] Serial;
        }

        [DllImport(Lib, CallingConvention = Call)] private static extern int velkor_epc_decode(byte[] epc, UIntPtr length, out Fields fields, out Error error);
        [DllImport(Lib, CallingConvention = Call)] private static extern int velkor_epc_tag_uri(ref Fields fields, byte[] uri, UIntPtr room, out Error error);
        [DllImport(Lib, CallingConvention = Call)] private static extern int velkor_epc_id_uri(ref Fields fields, byte[] uri, UIntPtr room, out Error error);
        [DllImport(Lib, CallingConvention = Call)] private static extern int velkor_epc_gs1_string(ref Fields fields, byte[] text, UIntPtr room, out Error error);
        [DllImport(Lib, CallingConvention = Call)] private static extern int velkor_epc_encode_tag_uri(byte[] uri, byte[] epc, UIntPtr room, out UIntPtr length, out Error error);
        [DllImport(Lib, CallingConvention = Call)] private static extern int velkor_epc_encode_id_uri(byte[] uri, uint filter, uint bits, byte[] epc, UIntPtr room, out UIntPtr length, out Error error);
        [DllImport(Lib, CallingConvention = Call)] private static extern int velkor_epc_encode_gs1(int key, byte[] digits, byte[] serial, uint prefixLength, uint filter, uint bits, byte[] epc, UIntPtr room, out UIntPtr length, out Error error);
        [DllImport(Lib, CallingConvention = Call)] private static extern IntPtr velkor_epc_scheme_name(int scheme);

        // Loads the codec, so that the core, which needs it, finds it loaded
        // wherever the binding's config placed it.
        internal static void Load() { velkor_epc_scheme_name(0); }

        /// <summary>The EPC bank content in upper-case hex.</summary>
        public string Hex { get; private set; }
        /// <summary>"sgtin-96", "sscc-96", ...</summary>
        public string Scheme { get; private set; }
        public int Filter { get; private set; }
        public int Partition { get; private set; }
        public string CompanyPrefix { get; private set; }
        public string Reference { get; private set; }
        public string Serial { get; private set; }
        /// <summary>"urn:epc:tag:sgtin-96:3.0614141.812345.6789"</summary>
        public string TagUri { get; private set; }
        /// <summary>"urn:epc:id:sgtin:0614141.812345.6789"</summary>
        public string IdUri { get; private set; }
        /// <summary>The GS1 element string; null for GID-96.</summary>
        public string Gs1 { get; private set; }

        private Epc() { }

        /// <summary>Decodes EPC bank content given in hex; EpcException for
        /// text that is not whole bytes of hex, as for content the codec
        /// refuses.</summary>
        public static Epc Decode(string hex)
        {
            if (hex == null) throw new ArgumentNullException("hex");
            string problem = Velkor.Hex.Problem(hex, "hex");
            if (problem != null) throw new EpcException(problem, BadCharacter, FieldEpc);
            return Decode(Velkor.Hex.Parse(hex, "hex"));
        }

        /// <summary>Decodes EPC bank content.</summary>
        public static Epc Decode(byte[] epc)
        {
            Fields fields;
            Error error;
            Raise(velkor_epc_decode(epc, (UIntPtr)epc.Length, out fields, out error), error);
            var gs1 = new byte[Gs1Max];
            Error gs1Error;
            int gs1Status = velkor_epc_gs1_string(ref fields, gs1, (UIntPtr)Gs1Max, out gs1Error);
            if (gs1Status != NoGs1Form) Raise(gs1Status, gs1Error);
            var tag = new byte[UriMax];
            var id = new byte[UriMax];
            Raise(velkor_epc_tag_uri(ref fields, tag, (UIntPtr)UriMax, out error), error);
            Raise(velkor_epc_id_uri(ref fields, id, (UIntPtr)UriMax, out error), error);
            return new Epc
            {
                Hex = Velkor.Hex.Format(epc, 0, epc.Length),
                Scheme = Marshal.PtrToStringAnsi(velkor_epc_scheme_name(fields.Scheme)),
                Filter = (int)fields.Filter,
                Partition = (int)fields.Partition,
                CompanyPrefix = Text(fields.CompanyPrefix),
                Reference = Text(fields.Reference),
                Serial = Text(fields.Serial),
                TagUri = Text(tag),
                IdUri = Text(id),
                Gs1 = gs1Status == 0 ? Text(gs1) : null,
            };
        }

        /// <summary>The EPC (hex) of a tag URI, or of a pure-identity URI with a
        /// filter and a size (bits 0: the smallest scheme that holds it).</summary>
        public static string Encode(string uri, int filter = 0, int bits = 0)
        {
            var epc = new byte[BytesMax];
            UIntPtr length;
            Error error;
            int status = uri.StartsWith("urn:epc:tag:", StringComparison.Ordinal)
                ? velkor_epc_encode_tag_uri(Z(uri), epc, (UIntPtr)BytesMax, out length, out error)
                : velkor_epc_encode_id_uri(Z(uri), (uint)filter, (uint)bits, epc, (UIntPtr)BytesMax, out length, out error);
            Raise(status, error);
            return Velkor.Hex.Format(epc, 0, (int)length);
        }

        /// <summary>The EPC (hex) of a GS1 key whose company prefix has
        /// prefixLength digits; serial is the serial (GTIN, GRAI, GDTI) or the
        /// GLN's extension, null for none.</summary>
        public static string EncodeGs1(EpcKey key, string digits, int prefixLength, string serial = null,
                                       int filter = 0, int bits = 0)
        {
            var epc = new byte[BytesMax];
            UIntPtr length;
            Error error;
            Raise(velkor_epc_encode_gs1((int)key, Z(digits), serial == null ? null : Z(serial), (uint)prefixLength,
                                        (uint)filter, (uint)bits, epc, (UIntPtr)BytesMax, out length, out error), error);
            return Velkor.Hex.Format(epc, 0, (int)length);
        }

        // A C string: the text and its terminating zero.
        private static byte[] Z(string text) { return Encoding.UTF8.GetBytes(text + "\0"); }

        private static string Text(byte[] bytes)
        {
            int end = Array.IndexOf(bytes, (byte)0);
            return Encoding.UTF8.GetString(bytes, 0, end < 0 ? bytes.Length : end);
        }

        private static void Raise(int status, Error error)
        {
            if (status != 0) throw new EpcException(Text(error.Message), error.Status, error.Field);
        }
    }
}
