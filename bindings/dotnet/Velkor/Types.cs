using System;

namespace Velkor
{
    /// <summary>Gen2 memory banks.</summary>
    public enum Bank : byte { Reserved = 0, Epc = 1, Tid = 2, User = 3 }

    /// <summary>What Reader.Lock locks (the tool's kill, access, epc, tid, user).</summary>
    public enum LockField : byte { Kill = 0, Access = 1, Epc = 2, Tid = 3, User = 4 }

    /// <summary>How Reader.Lock locks it (the tool's unlock, permaunlock, lock, permalock).</summary>
    public enum LockAction : byte { Unlock = 0, Permaunlock = 1, Lock = 2, Permalock = 3 }

    /// <summary>The reader's work modes.</summary>
    public enum WorkMode : byte { Answer = 0, Auto = 1, Trigger = 2, TriggerInverted = 3 }

    /// <summary>Which tags the automatic mode looks for.</summary>
    public enum TagType : byte { Gen2 = 0, Iso6B = 1 }

    /// <summary>How a 6B inventory compares the tags' bytes with its data.</summary>
    public enum Condition : byte { Eq = 0, Ne = 1, Gt = 2, Lt = 3 }

    /// <summary>A Gen2 tag an inventory found: its EPC in upper-case hex and
    /// the antenna the reader reported.</summary>
    public sealed class Tag
    {
        public string Epc { get; private set; }
        public int Antenna { get; private set; }
        public Tag(string epc, int antenna) { Epc = epc; Antenna = antenna; }
        public byte[] EpcBytes { get { return Hex.Parse(Epc, "epc"); } }
        public override string ToString() { return Epc; }
    }

    /// <summary>One tag seen in one round of Reader.Watch; Time is when the
    /// round's reply arrived, in UTC (DateTimeKind.Utc), as the tool writes
    /// its times.</summary>
    public sealed class Read
    {
        public int Round { get; private set; }
        public DateTime Time { get; private set; }
        public string Epc { get; private set; }
        public int Antenna { get; private set; }
        public Read(int round, DateTime time, string epc, int antenna)
        {
            Round = round; Time = time; Epc = epc; Antenna = antenna;
        }
    }

    /// <summary>Names tags by bits of their memory: the first Bits bits of
    /// Data compared with Bank from BitAddress on (by default where the EPC
    /// starts).</summary>
    public sealed class Mask
    {
        public byte[] Data { get; private set; }
        public Bank Bank { get; private set; }
        public int BitAddress { get; private set; }
        public int Bits { get; private set; }

        public Mask(byte[] data, Bank bank = Bank.Epc, int bitAddress = 32, int bits = -1)
        {
            if (data == null || data.Length < 1 || data.Length > 32)
                throw new ArgumentOutOfRangeException("data", "a mask is 1 to 32 bytes");
            Check.Defined("bank", bank);
            Check.InRange("bitAddress", bitAddress, 0, 0xFFFF);
            // The bit count travels in one byte: 32 whole bytes would read as
            // 0 bits, a mask that matches every tag.
            if (bits < 0 && data.Length * 8 > 255)
                throw new ArgumentOutOfRangeException("bits", "a mask of 32 bytes needs bits (1 to 255)");
            if (bits >= 0 && (bits < 1 || bits > 255 || (bits + 7) / 8 != data.Length))
                throw new ArgumentOutOfRangeException("bits", "bits is 1 to 255 and fills the mask's bytes");
            Data = (byte[])data.Clone();
            Bank = bank;
            BitAddress = bitAddress;
            Bits = bits < 0 ? data.Length * 8 : bits;
        }
    }

    /// <summary>What a tag command acts on: a tag by its EPC, the tags a
    /// mask matches, or Any (for a read the first tag that answers, for a
    /// change the only tag in the field).</summary>
    public sealed class Target
    {
        internal readonly byte[] Epc;
        internal readonly Mask Mask;
        private Target(byte[] epc, Mask mask) { Epc = epc; Mask = mask; }

        public static readonly Target Any = new Target(null, null);

        /// <summary>The EPC that names the tag, in upper-case hex; null for a
        /// mask or Any.  A tag-changing call returns the tag it changed by
        /// its EPC (or by the mask that named it).</summary>
        public string EpcHex { get { return Epc == null ? null : Hex.Format(Epc, 0, Epc.Length); } }

        /// <summary>The mask that names the tags, or null.</summary>
        public Mask Selection { get { return Mask; } }

        /// <summary>The EPC in hex, "mask" for a mask, "any" for Any.</summary>
        public override string ToString() { return EpcHex ?? (Mask != null ? "mask" : "any"); }

        /// <summary>The tag with this EPC (1 to 31 whole words).</summary>
        public static Target ByEpc(byte[] epc)
        {
            if (epc == null || epc.Length < 2 || epc.Length > 62 || epc.Length % 2 != 0)
                throw new ArgumentOutOfRangeException("epc", "an EPC is 1 to 31 whole words");
            return new Target((byte[])epc.Clone(), null);
        }

        public static Target ByMask(Mask mask)
        {
            if (mask == null) throw new ArgumentNullException("mask");
            return new Target(null, mask);
        }

        public static implicit operator Target(Tag tag) { return ByEpc(tag.EpcBytes); }
        /// <summary>The tag whose EPC this hex text spells; ArgumentException
        /// naming the EPC for text that is not whole bytes of hex.</summary>
        public static implicit operator Target(string epc) { return ByEpc(Hex.Parse(epc, "epc")); }
        public static implicit operator Target(Mask mask) { return mask == null ? Any : ByMask(mask); }
    }

    internal static class Hex
    {
        internal static string Format(byte[] data, int offset, int count)
        {
            return BitConverter.ToString(data, offset, count).Replace("-", "");
        }

        /// <summary>The bytes of hex text ("C0FFEE01"; white space between
        /// digits allowed); ArgumentException naming the argument, name, for
        /// text that is not whole bytes of hex.</summary>
        internal static byte[] Parse(string hex, string name)
        {
            if (hex == null) throw new ArgumentNullException(name);
            string problem = Problem(hex, name);
            if (problem != null) throw new ArgumentException(problem, name);
            string digits = string.Concat(hex.Split((char[])null, StringSplitOptions.RemoveEmptyEntries));
            var bytes = new byte[digits.Length / 2];
            for (int i = 0; i < bytes.Length; ++i)
                bytes[i] = Convert.ToByte(digits.Substring(2 * i, 2), 16);
            return bytes;
        }

        /// <summary>What keeps hex (not null) from being whole bytes of hex,
        /// in a sentence naming the argument; null when nothing does.</summary>
        internal static string Problem(string hex, string name)
        {
            int count = 0;
            foreach (char c in hex)
            {
                if (char.IsWhiteSpace(c)) continue;
                if (!Uri.IsHexDigit(c))
                    return string.Format("{0} \"{1}\" is not hex text: '{2}' is no hex digit", name, hex, c);
                ++count;
            }
            return count % 2 == 0 ? null : string.Format(
                "{0} \"{1}\" is not whole bytes: it has {2} hex digits, an odd number", name, hex, count);
        }
    }

    internal static class Check
    {
        internal static int InRange(string name, int value, int lowest, int highest)
        {
            if (value < lowest || value > highest)
                throw new ArgumentOutOfRangeException(name, value,
                    string.Format("{0} runs from {1} to {2}", name, lowest, highest));
            return value;
        }

        internal static byte Byte(string name, int value) { return (byte)InRange(name, value, 0, 255); }

        /// <summary>value, or ArgumentOutOfRangeException naming the argument
        /// when it is no member of its enum (a cast such as (Bank)7).</summary>
        internal static T Defined<T>(string name, T value) where T : struct
        {
            if (!Enum.IsDefined(typeof(T), value))
                throw new ArgumentOutOfRangeException(name, value, string.Format(
                    "{0} is one of {1}", name, string.Join(", ", Enum.GetNames(typeof(T)))));
            return value;
        }
    }
}
