#pragma once
// The reader's vocabulary: the RTF word list and the RTF/CRE word list, and exact lookup in both.
//
// A word is identified by its position in its list; handlers name positions with RtfWordIndex("b")
// and CreWordIndex("cxs"), which are evaluated at compile time, so a misspelt name does not
// compile. Both lists are kept exactly as they were fixed for the format: the RTF list holds 685
// words of letters and 16 special entries (line feed, carriage return, control symbols, "private1",
// "shadww20", "{nextpage\}"), the RTF/CRE list 184 words, six of them without the "cx" prefix.
//
// Lookup is by exact, case-sensitive byte match. A plain binary search over the RTF list as it
// stands would be unreliable: "\\" and "_" follow the letter words although they sort before them,
// and "pichGoal" / "picwGoal" follow "pichgoal" / "picwgoal". Hashing sidesteps the order.

#include <array>
#include <cstddef>
#include <string_view>

namespace lexaport::rtfwords {

inline constexpr std::size_t kRtfWordCount = 701;
inline constexpr std::size_t kCreWordCount = 184;

// A control word holds at most this many letters; longer words are looked up by their first 31.
inline constexpr std::size_t kMaxWordLength = 31;

inline constexpr std::array<std::string_view, kRtfWordCount> kRtfWords = {
    "\n", "\r", "'", "*", "-", "-\\-", ":", "absh", "absw", "additive", "aenddoc", "aendnotes",
    "af", "aftnbj", "aftncn", "aftnnalc", "aftnnar", "aftnnauc", "aftnnchi", "aftnnrlc",
    "aftnnruc", "aftnrestart", "aftnrstcont", "aftnrstpg", "aftnsep", "aftnsepc", "aftnstart",
    "aftntj", "allprot", "alt", "annotation", "annotprot", "ansi", "atnauthor", "atnid", "atnref",
    "atrfend", "atrfstart", "author", "b", "bgbdiag", "bgcross", "bgdcross", "bgdkbdiag",
    "bgdkcross", "bgdkdcross", "bgdkfdiag", "bgdkhoriz", "bgdkvert", "bgfdiag", "bghoriz",
    "bgvert", "bin", "binfsxn", "binsxn", "bkmkcolf", "bkmkcoll", "bkmkend", "bkmkpub",
    "bkmkstart", "blue", "box", "brdrb", "brdrbar", "brdrbtw", "brdrcf", "brdrdash", "brdrdb",
    "brdrdot", "brdrhair", "brdrl", "brdrr", "brdrs", "brdrsh", "brdrt", "brdrth", "brdrw",
    "brkfrm", "brsp", "bullet", "buptim", "bxe", "caps", "cb", "cbpat", "cchs", "cell", "cellx",
    "cf", "cfpat", "chatn", "chdate", "chdpa", "chdpl", "chftn", "chftnsep", "chftnsepc", "chpgn",
    "chtime", "chtps", "clbgbdiag", "clbgcross", "clbgdcross", "clbgdkbdiag", "clbgdkcross",
    "clbgdkdcross", "clbgdkfdiag", "clbgdkhor", "clbgdkvert", "clbgfdiag", "clbghoriz", "clbgvert",
    "clbrdrb", "clbrdrcf", "clbrdrl", "clbrdrr", "clbrdrt", "clbrdrw", "clcbpat", "clcfpat",
    "clmgf", "clmrg", "clshading", "clshdng", "colno", "colortbl", "cols", "colsr", "colsx",
    "column", "colw", "comment", "creatim", "cs", "ctrl", "cvmailmrgesc", "cvmme", "datafield",
    "date", "dbch", "deff", "defformat", "deflang", "deftab", "deleted", "dfrmtxtx", "dfrmtxty",
    "dibitmap", "dn", "do", "dobxcolumn", "dobxmargin", "dobxpage", "dobymargin", "dobypage",
    "dobypara", "doccomm", "doctemp", "dodhgt", "dolock", "dpaendhol", "dpaendl", "dpaendsol",
    "dpaendw", "dparc", "dparcflipx", "dparcflipy", "dpastarthol", "dpastartl", "dpastartsol",
    "dpastartw", "dpcallout", "dpcoa", "dpcoaccent", "dpcobestfit", "dpcoborder", "dpcodabs",
    "dpcodbottom", "dpcodcenter", "dpcodescent", "dpcodtop", "dpcolength", "dpcominusx",
    "dpcominusy", "dpcooffset", "dpcosmarta", "dpcotdouble", "dpcotright", "dpcotsingle",
    "dpcottriple", "dpcount", "dpellipse", "dpendgroup", "dpfillbgcb", "dpfillbgcg", "dpfillbgcr",
    "dpfillbggray", "dpfillbgpal", "dpfillfgcb", "dpfillfgcg", "dpfillfgcr", "dpfillfggray",
    "dpfillfgpal", "dpfillpat", "dpgroup", "dpline", "dplinecob", "dplinecog", "dplinecor",
    "dplinedado", "dplinedadodo", "dplinedash", "dplinedot", "dplinegray", "dplinehollow",
    "dplinepal", "dplinesolid", "dplinew", "dppolycount", "dppolygon", "dppolyline", "dpptx",
    "dppty", "dprect", "dproundr", "dpshadow", "dpshadx", "dpshady", "dptxbx", "dptxbxmar",
    "dptxbxtext", "dpx", "dpxsize", "dpy", "dpysize", "dropcapli", "dropcapt", "ds", "dxfrtext",
    "dy", "edmins", "emdash", "emspace", "endash", "enddoc", "endnhere", "endnotes", "enspace",
    "expnd", "expndtw", "extrasprl", "f", "facingp", "facpgsxn", "falt", "fcharset", "fdecor",
    "fet", "fi", "fid", "field", "file", "filetbl", "fldalt", "flddirty", "fldedit", "fldinst",
    "fldlock", "fldpriv", "fldrslt", "fldtype", "fmodern", "fn", "fnetwork", "fnil", "fonttbl",
    "footer", "footerf", "footerl", "footerr", "footery", "footnote", "formdisp", "formprot",
    "formshade", "fosnum", "fprq", "fracwidth", "frelative", "froman", "fs", "fscript", "fswiss",
    "ftech", "ftnalt", "ftnbj", "ftncn", "ftnnalc", "ftnnar", "ftnnauc", "ftnnchi", "ftnnrlc",
    "ftnnruc", "ftnrestart", "ftnrstcont", "ftnrstpg", "ftnsep", "ftnsepc", "ftnstart", "ftntext",
    "ftntextauto", "ftntj", "fvaliddos", "fvalidhpfs", "fvalidmac", "fvalidntfs", "g", "gcw",
    "green", "gridtbl", "gutter", "guttersxn", "header", "headerf", "headerl", "headerr",
    "headery", "hich", "hr", "hyphauto", "hyphcaps", "hyphconsec", "hyphhotz", "hyphpar", "i",
    "id", "info", "intbl", "ixe", "keep", "keepn", "kerning", "keycode", "keywords", "kmkm",
    "landscape", "lang", "language", "layer", "ldblquote", "level", "li", "line", "linebetcol",
    "linecont", "linemod", "lineppage", "linerestart", "linestart", "linestarts", "linex",
    "linkself", "linkstyles", "lndscpsxn", "loch", "lquote", "mac", "macpict", "makebackup",
    "margb", "margbsxn", "margl", "marglsxn", "margmirror", "margmirsxn", "margr", "margrsxn",
    "margt", "margtsxn", "min", "mo", "msmcap", "nextfile", "nocolbal", "noextrasprl", "nofchars",
    "nofpages", "nofwords", "nolead", "noline", "nosupersub", "notabind", "nowidctlpar", "nowrap",
    "objalias", "objalign", "objautlink", "objclass", "objcropb", "objcropl", "objcropr",
    "objcropt", "objdata", "object", "objemb", "objgener", "objh", "objicemb", "objitem",
    "objlink", "objlock", "objname", "objpub", "objrotate", "objscalex", "objscaley", "objsect",
    "objsetsize", "objsub", "objtime", "objtopic", "objtransx", "objtransy", "objtype",
    "objupdate", "objw", "objx", "objy", "ogutter", "opaque", "operator", "otblrul", "outl",
    "overlay", "page", "pagebb", "paperh", "papersize", "paperw", "par", "pard", "pc", "pca",
    "pghsxn", "pgncnsc", "pgncnsh", "pgncnsm", "pgncnsn", "pgncnsp", "pgncont", "pgndec", "pgnhn",
    "pgnhnsc", "pgnhnsh", "pgnhnsm", "pgnhnsn", "pgnhnsp", "pgnlcltr", "pgnlcrm", "pgnrestart",
    "pgnstart", "pgnstarts", "pgnucltr", "pgnucrm", "pgnx", "pgny", "pgwsxn", "phcol", "phmrg",
    "phpg", "picbmp", "picbpp", "piccropb", "piccropl", "piccropr", "piccropt", "pich", "pichfin",
    "pichgoal", "pichGoal", "picscaled", "picscalex", "picscaley", "pict", "picw", "picwfin",
    "picwgoal", "picwGoal", "plain", "pmmetafile", "pn", "pnacross", "pnb", "pncaps", "pncard",
    "pncf", "pndec", "pnf", "pnfs", "pnhang", "pni", "pnindent", "pnlcltr", "pnlcrm", "pnlvl",
    "pnlvlblt", "pnlvlbody", "pnlvlcont", "pnnumonce", "pnord", "pnordt", "pnprev", "pnqc", "pnql",
    "pnqr", "pnrestart", "pnscaps", "pnseclvl", "pnsp", "pnstart", "pnstrike", "pntext", "pntxta",
    "pntxtb", "pnucltr", "pnucrm", "pnul", "pnuld", "pnuldb", "pnulnone", "pnulw", "posnegx",
    "posnegy", "posx", "posxc", "posxi", "posxl", "posxo", "posxr", "posy", "posyb", "posyc",
    "posyil", "posyt", "prcolbl", "printdata", "printim", "private", "private1", "psover", "psz",
    "pubauto", "pvmrg", "pvpara", "pvpg", "qc", "qj", "ql", "qr", "rdblquote", "readonly", "red",
    "result", "revauth", "revbar", "revdttm", "revised", "revisions", "revprop", "revprot",
    "revtbl", "revtim", "ri", "row", "rquote", "rsltbmp", "rsltmerge", "rsltpict", "rsltrtf",
    "rslttxt", "rtf", "rxe", "s", "sa", "sb", "sbasedon", "sbkcol", "sbkeven", "sbknone", "sbkodd",
    "sbkpage", "sbys", "scaps", "sec", "sect", "sectd", "sectnum", "sectunlocked", "shad",
    "shading", "shadowbl", "shadww20", "shift", "sl", "slmult", "snext", "softcol", "softlheight",
    "softline", "softpage", "sprsspbf", "sprstsm", "sprstsp", "strike", "stylesheet", "sub",
    "subdocument", "subject", "super", "suppressSpBf", "swpbdr", "tab", "tb", "tc", "tcelld",
    "tcf", "tcl", "tcn", "template", "time", "title", "titlepg", "tldot", "tleq", "tlhyph", "tlth",
    "tlul", "tqc", "tqdec", "tqr", "tqv", "transmf", "trbrdrb", "trbrdrh", "trbrdrl", "trbrdrr",
    "trbrdrt", "trbrdrv", "trgaph", "trhdr", "trkeep", "trleft", "trnsprnt", "trowd", "trqc",
    "trql", "trqr", "trrh", "truncex", "tx", "txe", "ul", "uld", "uldash", "uldashd", "uldashdd",
    "uldb", "ulnone", "ulth", "ulw", "ulwave", "up", "v", "vern", "version", "vertal", "vertalb",
    "vertalc", "vertalj", "vertalt", "wbitmap", "wbmbitspixel", "wbmplanes", "wbmwidthbytes",
    "widowctrl", "widowsxn", "wmetafile", "wpeqn", "wraptrsp", "writeres", "xe", "xef", "yr",
    "zdebug", "\\", "_", "{", "{nextpage\\}", "|", "}", "~",};

inline constexpr std::array<std::string_view, kCreWordCount> kCreWords = {
    "asterpar", "cxa", "cxaidata", "cxaris", "cxasi", "cxc", "cxcase", "cxcomment", "cxconf",
    "cxcsi", "cxdict", "cxdouble", "cxds", "cxdstroke", "cxdstrokes", "cxe", "cxexnum", "cxfc",
    "cxff", "cxffadjb", "cxffadjl", "cxffadjr", "cxffadjt", "cxfing", "cxfirstln", "cxfixedtran",
    "cxfl", "cxframes", "cxfrom", "cxgbltable", "cxgcat", "cxgig", "cxicol", "cxinc", "cxinclink",
    "cxindex", "cxinum", "cxlinenum", "cxlinex", "cxnoflines", "cxnofstrokes", "cxnotes", "cxp",
    "cxpagenum", "cxpartword", "cxpcat", "cxpn", "cxpntable", "cxrev", "cxs", "cxsingle", "cxsnum",
    "cxsr", "cxstit", "cxsvat", "cxsystem", "cxt", "cxtimex", "cxtname", "cxto", "cxtranopt",
    "cxtranscript", "cxun", "cxunused", "cxwit", "cxzqacr", "cxzqallss", "cxzqautoconf",
    "cxzqbench", "cxzqcanceldlgs", "cxzqcappre", "cxzqcapprev", "cxzqcaptionbaseline",
    "cxzqcaptionblock", "cxzqcaptioncapmode", "cxzqcaptionchars", "cxzqcaptionclear",
    "cxzqcaptioncolor", "cxzqcaptioncolumn", "cxzqcaptioneoc", "cxzqcaptionflash",
    "cxzqcaptionflush", "cxzqcaptionkeepcasenext", "cxzqcaptionkeepcaseoff",
    "cxzqcaptionkeepcaseon", "cxzqcaptionmusicalnote", "cxzqcaptionnik", "cxzqcaptionpass",
    "cxzqcaptionperiod", "cxzqcaptionposition", "cxzqcaptionrolluprows", "cxzqcaptionscatter",
    "cxzqcaptionsendline", "cxzqcaptionskipline", "cxzqcaptionstoryslugoff",
    "cxzqcaptionstoryslugon", "cxzqcaptiontransparentspace", "cxzqcaptionwarningoff",
    "cxzqcaptionwarningon", "cxzqconnum", "cxzqcpi", "cxzqcwidth", "cxzqdef", "cxzqdefinewithls",
    "cxzqdel", "cxzqdelsteno", "cxzqfield", "cxzqfollowrt", "cxzqheader", "cxzqindex",
    "cxzqindexallowdupcell", "cxzqindexhead", "cxzqindexline", "cxzqindexpage", "cxzqindexpos",
    "cxzqindexsec", "cxzqindexseq", "cxzqindexsortalphaexhibit", "cxzqindexsortalphainsensitive",
    "cxzqindexsortalphasensitive", "cxzqindexsortmatchheadings", "cxzqindexsortnumeric",
    "cxzqindexsubsortalphaexhibit", "cxzqindexsubsortalphainsensitive", "cxzqindexsubsortnumeric",
    "cxzqindexvol", "cxzqinitcap", "cxzqline", "cxzqlinenum", "cxzqlsignoreuntran", "cxzqmargin",
    "cxzqmdel", "cxzqnoautoconvert", "cxzqnocap", "cxzqnosub", "cxzqnosuper", "cxzqnumcvt",
    "cxzqnumtrg", "cxzqoops", "cxzqorphan", "cxzqpausea", "cxzqpauset", "cxzqpdfbookmark",
    "cxzqphonetic", "cxzqphyslpp", "cxzqpnac", "cxzqpnal", "cxzqpnao", "cxzqpnap", "cxzqpnar",
    "cxzqpnt", "cxzqpre", "cxzqprefixnum", "cxzqredact", "cxzqrelright", "cxzqreplacewithls",
    "cxzqresett", "cxzqresumea", "cxzqresumet", "cxzqscandef", "cxzqscanstop", "cxzqsetjobendtime",
    "cxzqsetjobstarttime", "cxzqsett", "cxzqspeakerdef", "cxzqstenoleft", "cxzqstenomiddle",
    "cxzqstenoright", "cxzqstenotable", "cxzqstitch", "cxzqstnormal", "cxzqstoptimer",
    "cxzqstshifted", "cxzqsuf", "cxzqta", "cxzqtape", "cxzqtextdef", "cxzqtimer", "cxzquserdef",
    "dragr", "numbar", "resanand", "stitchlower", "tagused",};

namespace detail {
template <std::size_t N>
consteval int IndexIn(const std::array<std::string_view, N>& list, std::string_view word) {
  for (std::size_t i = 0; i < N; ++i) {
    if (list[i] == word) return static_cast<int>(i);
  }
  throw "word is not in the list";  // not a constant expression: stops the build
}
}  // namespace detail

consteval int RtfWordIndex(std::string_view word) { return detail::IndexIn(kRtfWords, word); }
consteval int CreWordIndex(std::string_view word) { return detail::IndexIn(kCreWords, word); }

// Position of `word` in its list, or -1.
int FindRtfWord(std::string_view word);
int FindCreWord(std::string_view word);

}  // namespace lexaport::rtfwords
