#include "document/cp932.h"

#include <QTest>

// Expected bytes come from Python's cp932 codec and glibc's iconv CP932, never
// from this codec. Where the two disagree (the IBM extension characters, which
// Python encodes to their NEC-selected duplicates 0xED/0xEE..), the bytes are
// iconv's, which are the ones Windows writes; both sets decode the same.
class TstCp932 : public QObject
{
    Q_OBJECT
private slots:
    void golden_data();
    void golden();
    void necSelectedDuplicatesDecode();
    void jisCompatEncodeOneWay();
    void singleBytes_data();
    void singleBytes();
    void decodeErrors_data();
    void decodeErrors();
    void encodeFailureIndex_data();
    void encodeFailureIndex();
    void displayWidth_data();
    void displayWidth();
};

void TstCp932::golden_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("hex");
    QTest::newRow("hiragana")
        << QStringLiteral("ぁあぃいぅうぇえぉおかがきぎくぐけげこごさざしじすずせぜそぞ"
                          "ただちぢっつづてでとどなにぬねのはばぱひびぴふぶぷへべぺほぼ"
                          "ぽまみむめもゃやゅゆょよらりるれろゎわゐゑをん")
        << QByteArray("829f82a082a182a282a382a482a582a682a782a882a982aa82ab82ac82ad82ae82af82b0"
                      "82b182b282b382b482b582b682b782b882b982ba82bb82bc82bd82be82bf82c082c182c2"
                      "82c382c482c582c682c782c882c982ca82cb82cc82cd82ce82cf82d082d182d282d382d4"
                      "82d582d682d782d882d982da82db82dc82dd82de82df82e082e182e282e382e482e582e6"
                      "82e782e882e982ea82eb82ec82ed82ee82ef82f082f1");
    QTest::newRow("katakana")
        << QStringLiteral("ァアィイゥウェエォオカガキギクグケゲコゴサザシジスズセゼソゾ"
                          "タダチヂッツヅテデトドナニヌネノハバパヒビピフブプヘベペホボ"
                          "ポマミムメモャヤュユョヨラリルレロヮワヰヱヲンヴヵヶー・")
        << QByteArray("8340834183428343834483458346834783488349834a834b834c834d834e834f83508351"
                      "83528353835483558356835783588359835a835b835c835d835e835f8360836183628363"
                      "836483658366836783688369836a836b836c836d836e836f837083718372837383748375"
                      "8376837783788379837a837b837c837d837e838083818382838383848385838683878388"
                      "8389838a838b838c838d838e838f8390839183928393839483958396815b8145");
    QTest::newRow("kanji")
        << QStringLiteral("直立消波根固被覆捨石基礎天端高潮位設計波浪重心体積寸法種別名"
                          "称層別累計鉄筋混凝土型枠打設養生亜唖娃阿哀愛挨姶逢葵茜穐悪握"
                          "渥旭葦芦鯵梓圧斡扱宛姐虻飴絢綾鮎或粟袷安庵按暗案闇鞍杏熙凜槇"
                          "黒堯遙瑤鍍鋼鋳鍛錆溶接杭矢板護岸堤防港湾桟橋礁漁浚渫")
        << QByteArray("92bc97a78fc194678daa8cc594ed95a28ecc90ce8aee91629356925b8d8292aa88ca90dd"
                      "8c76946798518f64905391cc90cf90a196408eed95ca96bc8fcc917795ca97dd8c769353"
                      "8bd88dac8bc393798c5e986791c590dd977b90b6889f88a088a188a288a388a488a588a6"
                      "88a788a888a988aa88ab88ac88ad88ae88af88b088b188b288b388b488b588b688b788b8"
                      "88b988ba88bb88bc88bd88be88bf88c088c188c288c388c488c588c688c7eaa4eaa3eaa0"
                      "8d95ea9feaa1eaa293748d7c929292628e4b976e90da8d5996ee94c28cec8add92e79668"
                      "8d6098708e568bb48fca8b999fb29fd6");
    QTest::newRow("symbols")
        << QStringLiteral("　、。，．・：；？！゛゜´｀¨＾￣＿ヽヾゝゞ〃仝々〆〇ー―‐"
                          "／＼～∥｜…‥‘’“”（）〔〕［］｛｝〈〉《》「」『』【】＋"
                          "－±×÷＝≠＜＞≦≧∞∴♂♀°′″℃￥＄￠￡％＃＆＊＠§☆★"
                          "○●◎◇◆□■△▲▽▼※〒→←↑↓〓∈∋⊆⊇⊂⊃∪∩∧∨￢⇒"
                          "⇔∀∃∠⊥⌒∂∇≡≒≪≫√∽∝∵∫∬Å‰♯♭♪†‡¶◯ΑΒΓ"
                          "ΔαβγδπσωАБВабв─│┌┐┘└├┬┤┴┼")
        << QByteArray("8140814181428143814481458146814781488149814a814b814c814d814e814f81508151"
                      "81528153815481558156815781588159815a815b815c815d815e815f8160816181628163"
                      "816481658166816781688169816a816b816c816d816e816f817081718172817381748175"
                      "8176817781788179817a817b817c817d817e818081818182818381848185818681878188"
                      "8189818a818b818c818d818e818f8190819181928193819481958196819781988199819a"
                      "819b819c819d819e819f81a081a181a281a381a481a581a681a781a881a981aa81ab81ac"
                      "81b881b981ba81bb81bc81bd81be81bf81c881c981ca81cb81cc81cd81ce81da81db81dc"
                      "81dd81de81df81e081e181e281e381e481e581e681e781e881f081f181f281f381f481f5"
                      "81f681f781fc839f83a083a183a283bf83c083c183c283ce83d083d68440844184428470"
                      "84718472849f84a084a184a284a384a484a584a684a784a884a9");
    QTest::newRow("nec row 13")
        << QStringLiteral("①②③④⑤⑥⑦⑧⑨⑩⑪⑫⑬⑭⑮⑯⑰⑱⑲⑳ⅠⅡⅢⅣⅤⅥⅦⅧⅨⅩ"
                          "㍉㌔㌢㍍㌘㌧㌃㌶㍑㍗㌍㌦㌣㌫㍊㌻㎜㎝㎞㎎㎏㏄㎡㍻〝〟№㏍℡㊤"
                          "㊥㊦㊧㊨㈱㈲㈹㍾㍽㍼∮∑∟⊿")
        << QByteArray("8740874187428743874487458746874787488749874a874b874c874d874e874f87508751"
                      "87528753875487558756875787588759875a875b875c875d875f87608761876287638764"
                      "87658766876787688769876a876b876c876d876e876f877087718772877387748775877e"
                      "8780878187828783878487858786878787888789878a878b878c878d878e878f87938794"
                      "87988799");
    QTest::newRow("ibm extension")
        << QStringLiteral("ⅰⅱⅲⅳⅴⅵⅶⅷⅸⅹ￤＇＂纊褜鍈銈蓜俉炻昱棈鋹曻彅丨仡仼伀伃"
                          "伹佖侒侊侚侔俍偀倢俿倞偆偰偂傔僴僘兊兤冝冾凬刕劜劦勀勛匀匇匤"
                          "卲厓厲叝﨎咜咊咩哿喆坙坥垬埈埇﨏塚增墲夋奓奛奝奣妤妺孖寀甯寘"
                          "寬尞岦岺峵崧嵓﨑嵂嵭嶸嶹巐弡弴彧德黑")
        << QByteArray("fa40fa41fa42fa43fa44fa45fa46fa47fa48fa49fa55fa56fa57fa5cfa5dfa5efa5ffa60"
                      "fa61fa62fa63fa64fa65fa66fa67fa68fa69fa6afa6bfa6cfa6dfa6efa6ffa70fa71fa72"
                      "fa73fa74fa75fa76fa77fa78fa79fa7afa7bfa7cfa7dfa7efa80fa81fa82fa83fa84fa85"
                      "fa86fa87fa88fa89fa8afa8bfa8cfa8dfa8efa8ffa90fa91fa92fa93fa94fa95fa96fa97"
                      "fa98fa99fa9afa9b92cbfa9dfa9efa9ffaa0faa1faa2faa3faa4faa5faa6faa7faa8faa9"
                      "faaafaabfaacfaadfaaefaaffab0fab1fab2fab3fab4fab5fab6fab7fab8fab9fabafc4b");
    QTest::newRow("half-width")
        << QStringLiteral("｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾ"
                          "ｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜ"
                          "ﾝﾞﾟ")
        << QByteArray("a1a2a3a4a5a6a7a8a9aaabacadaeafb0b1b2b3b4b5b6b7b8b9babbbcbdbebfc0c1c2c3c4"
                      "c5c6c7c8c9cacbcccdcecfd0d1d2d3d4d5d6d7d8d9dadbdcdddedf");
    QTest::newRow("ascii")
        << QStringLiteral("AZaz09 !\"#$%&'()*+,-./:;<=>?@["
                          "\\]^_`{|}~")
        << QByteArray("415a617a3039202122232425262728292a2b2c2d2e2f3a3b3c3d3e3f405b5c5d5e5f607b"
                      "7c7d7e");
}

void TstCp932::golden()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, hex);
    const QByteArray expected = QByteArray::fromHex(hex);
    QByteArray bytes;
    QVERIFY(Cp932::encode(text, bytes));
    QCOMPARE(bytes.toHex(), expected.toHex());
    QString back;
    QVERIFY(Cp932::decode(expected, back));
    QCOMPARE(back, text);
}

void TstCp932::necSelectedDuplicatesDecode()
{
    // Python's bytes for ⅰ..ⅲ ￤ 纊 褜 黑 (NEC-selected rows) read as the same text.
    const QByteArray py = QByteArray::fromHex("eeefeef0eef1eefaed40ed41eeec");
    QString text;
    QVERIFY(Cp932::decode(py, text));
    QCOMPARE(text, QStringLiteral("ⅰⅱⅲ￤纊褜黑"));
}

void TstCp932::jisCompatEncodeOneWay()
{
    // ¢ £ ¬ ‖ − 〜: Python and Windows accept them and read back the full-width forms.
    QByteArray bytes;
    QVERIFY(Cp932::encode(QStringLiteral("¢£¬‖−〜"), bytes));
    QCOMPARE(bytes.toHex(), QByteArray("8191819281ca8161817c8160"));
    QString back;
    QVERIFY(Cp932::decode(bytes, back));
    QCOMPARE(back, QStringLiteral("￠￡￢∥－～"));
}

void TstCp932::singleBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    auto row = [](const char* name, const char* hex, std::initializer_list<char16_t> cs) {
        QString t;
        for (char16_t c : cs)
            t += QChar(c);
        QTest::newRow(name) << QByteArray::fromHex(hex) << t;
    };
    row("1A", "1a", {0x1A});
    row("1C", "1c", {0x1C});
    row("7F", "7f", {0x7F});
    row("80", "80", {0x80});
    row("A0", "a0", {0xF8F0});
    row("FD", "fd", {0xF8F1});
    row("FE", "fe", {0xF8F2});
    row("FF", "ff", {0xF8F3});
    row("NUL", "00", {0x00});
    row("backslash tilde", "5c7e", {u'\\', u'~'});
    row("among double bytes", "82a0801a82a2a0", {u'あ', 0x80, 0x1A, u'い', 0xF8F0});
    row("user-defined area", "f040f9fc", {0xE000, 0xE757});
}

void TstCp932::singleBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QString decoded;
    QVERIFY(Cp932::decode(bytes, decoded));
    QCOMPARE(decoded, text);
    QByteArray encoded;
    QVERIFY(Cp932::encode(text, encoded));
    QCOMPARE(encoded.toHex(), bytes.toHex());
}

void TstCp932::decodeErrors_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("lone lead byte") << QByteArray::fromHex("82");
    QTest::newRow("lead byte at the end") << QByteArray::fromHex("41422082");
    QTest::newRow("trail byte below range") << QByteArray::fromHex("8220");
    QTest::newRow("trail byte 7F") << QByteArray::fromHex("817f");
    QTest::newRow("unassigned row") << QByteArray::fromHex("8540");
    QTest::newRow("unassigned code") << QByteArray::fromHex("81ad");
    QTest::newRow("past IBM extension") << QByteArray::fromHex("fc4c");
    QTest::newRow("trail FF") << QByteArray::fromHex("9fff");
    QTest::newRow("error after good text") << QByteArray::fromHex("82a082a2eb40");
}

void TstCp932::decodeErrors()
{
    QFETCH(QByteArray, bytes);
    QString out;
    QVERIFY(!Cp932::decode(bytes, out));
}

void TstCp932::encodeFailureIndex_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("index");
    QTest::newRow("e acute") << QStringLiteral("café") << qsizetype(3);
    QTest::newRow("hangul") << QStringLiteral("あ한") << qsizetype(1);
    QTest::newRow("emoji") << QStringLiteral("名😀x") << qsizetype(1);
    QTest::newRow("emoji first") << QStringLiteral("😀é") << qsizetype(0);
    QTest::newRow("yen sign") << QStringLiteral("ab¥") << qsizetype(2);
    QTest::newRow("em dash") << QStringLiteral("—") << qsizetype(0);
    QTest::newRow("kanji outside") << QStringLiteral("森鷗外") << qsizetype(1);
    QTest::newRow("angstrom letter") << QStringLiteral("1Å") << qsizetype(1);
    QTest::newRow("byte order mark") << QStringLiteral("a\uFEFFb") << qsizetype(1);
    QTest::newRow("private use") << QStringLiteral("x\uF86F") << qsizetype(1);
    QTest::newRow("lone surrogate") << QString(u'A') + QChar(0xD800) + u'B' << qsizetype(1);
}

void TstCp932::encodeFailureIndex()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, index);
    QByteArray out;
    qsizetype bad = -1;
    QVERIFY(!Cp932::encode(text, out, &bad));
    QCOMPARE(bad, index);
}

void TstCp932::displayWidth_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("ascii") << QStringLiteral("B=2.5") << 5;
    QTest::newRow("full width") << QStringLiteral("消波ブロック") << 12;
    QTest::newRow("half-width katakana") << QStringLiteral("ｼｮｳﾊ ﾌﾞﾛｯｸ") << 10;
    QTest::newRow("mixed") << QStringLiteral("A型①ｱ") << 6;
    QTest::newRow("single-byte specials") << QString(QChar(0x80)) + QChar(0xF8F0) << 2;
    QTest::newRow("pair counts once") << QStringLiteral("😀") << 2;
}

void TstCp932::displayWidth()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QCOMPARE(Cp932::displayWidth(text), width);
    // For text cp932 holds, the width is its length in bytes.
    QByteArray bytes;
    if (Cp932::encode(text, bytes))
        QCOMPARE(int(bytes.size()), width);
}

QTEST_GUILESS_MAIN(TstCp932)
#include "tst_cp932.moc"
